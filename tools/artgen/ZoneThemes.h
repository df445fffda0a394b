// The look of each zone: its background colour, the materials of its
// floor and walls, its decorations and the colours of its snake.
#pragma once

#include "tools/artgen/Bitmap.h"
#include "tools/artgen/Canvas.h"

#include <vector>

enum class FloorStyle { Grass, Soil, Sand, Cave, Ice, Dunes, Metal, Space };

enum class WallStyle {
    Bevel,
    Bricks,
    Rock,
    Leafy,
    Planks,
    Water,
    Steel,
    Hazard,
    CrystalRock,
    Starfield,
    Rough,
    TechPanel
};

enum class Ornament { Tree, AppleTree, Palm, Crystal, Snowflake, Cactus, Gear, Planet };

enum class SnakeMarking { Bands, Spots, Diamond, Ring, Glow };

struct Wall {
    WallStyle style;
    Colour main;
    Colour detail; // mortar, crystals, glow or second stripe colour
};

struct SnakeStyle {
    Colour body;
    Colour marking;
    SnakeMarking pattern;
    Colour eye; // the iris
};

struct ZoneTheme {
    const char* directory; // below Levels, and the zone's file names
    const char* name;
    int skill;
    Rgb background;
    FloorStyle floor;
    Colour floorColour;
    Wall outer;  // block 0, what lies outside the walls
    Wall main;   // block 3
    Wall second; // block 4
    Colour accent1;
    Colour accent2;
    Colour liquid;
    Ornament ornament;
    SnakeStyle snake;
};

const std::vector<ZoneTheme>& zoneThemes();
// The snake of the default sheet, shown on black.
const SnakeStyle& defaultSnake();
