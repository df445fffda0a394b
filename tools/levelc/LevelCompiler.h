// Turns a level source and a sheet of block pictures into a tile map.
#pragma once

#include "map/FmpWriter.h"
#include "tools/levelc/LevelSource.h"

#include <cstdint>
#include <string>
#include <vector>

// A picture of 0x00RRGGBB pixels whose cells of blockSize x blockSize
// pixels are the block graphics: block k at column k % columns, row
// k / columns.
struct BlockSheet {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

// The palette used for maps of depth 8: a 3-3-2 colour cube.
std::vector<uint8_t> colourCubePalette();

bool compileLevel(const LevelSource& level, const BlockSheet& sheet, int depth, FmpMap& out,
                  std::string& error, int blockSize = 20);
