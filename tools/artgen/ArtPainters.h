// The painters of the game's pictures. Small pictures are designed in a
// cell of 20x20 units and can be painted at any size.
#pragma once

#include "tools/artgen/Bitmap.h"
#include "tools/artgen/Canvas.h"
#include "tools/artgen/Png.h"
#include "tools/artgen/ZoneThemes.h"

#include <cmath>
#include <string>

// Paints a shape given in cell units (0..20 both ways) into the square at
// (ox, oy) of side s.
template <class Shape>
void paintCell(Canvas& canvas, float ox, float oy, float s, Shape shape, bool hard) {
    const float k = 20.0f / s;
    canvas.paint(
        static_cast<int>(std::floor(ox)), static_cast<int>(std::floor(oy)),
        static_cast<int>(std::ceil(ox + s)), static_cast<int>(std::ceil(oy + s)),
        [&](float x, float y) { return shape((x - ox) * k, (y - oy) * k); }, hard);
}

// Distance from (x, y) to the segment (ax, ay)-(bx, by).
float segmentDistance(float x, float y, float ax, float ay, float bx, float by);

enum class ItemKind { Food, Shrink, SpeedReset, Points, Time };

// An item standing on the ground, with a soft shadow unless hard.
void paintItem(Canvas& canvas, float ox, float oy, float s, ItemKind kind, bool hard = false);

// Snake pictures. Directions 0 up, 1 right, 2 down, 3 left; mouth 0 shut,
// 1 tongue out, 2 wide open. A body of radius 8.5 fills its cell to the
// joins; bulge 0..1 swells it with a swallowed meal.
void paintSnakeHead(Canvas& canvas, float ox, float oy, float s, const SnakeStyle& snake,
                    int direction, int mouth, bool hard);
void paintSnakeBody(Canvas& canvas, float ox, float oy, float s, const SnakeStyle& snake,
                    float radius, float bulge, bool hard);

// Text in the pixel font at a whole-number scale, with a dark outline of
// one font pixel and an optional drop shadow.
void paintText(Canvas& canvas, int x, int y, int scale, const std::string& text, Colour fill,
               Colour outline, bool shadow);

RgbImage makeBlockSheet(const ZoneTheme& zone);
RgbImage makeSnakeSheet(const SnakeStyle& snake, Rgb key);
RgbImage makeTitlePicture();
RgbImage makeLogo();
RgbImage makeScoreStrip();
RgbImage makeGoodScore();
// The application icon, size x size pixels with a transparent surround.
RgbaImage makeIcon(int size);
// The same icon as a scalable picture (SVG text).
std::string makeIconSvg();

constexpr Rgb kGoodScoreKey{64, 64, 64};
