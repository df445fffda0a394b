// Writes tile map files (".fmp"): the FORM/FMAP container with its map
// header, colour map, block records, animations, block graphics and cell
// layers. The level compiler makes the game's levels with it, and tests make
// maps of every kind with it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FmpBlockRecord {
    // Byte offsets into the block graphics: background and three foregrounds.
    int32_t graphics[4] = {0, 0, 0, 0};
    uint8_t extra[16] = {};
};

struct FmpAnimation {
    uint8_t type = 1; // 255 marks the end of the records
    uint8_t extra[3] = {};
    // Indices into the frame list.
    int32_t currentFrame = 0, firstFrame = 0, lastFrame = 0;
};

struct FmpMap {
    uint16_t mapWidth = 0, mapHeight = 0;
    uint16_t blockWidth = 20, blockHeight = 20;
    uint16_t blockDepth = 16;
    std::vector<uint8_t> colourMap; // 256 x (red, green, blue); written when not empty
    std::vector<FmpBlockRecord> blocks;
    // Block graphics, each blockWidth x blockHeight pixels of 0x00RRGGBB;
    // written in the map's depth (depth 8 writes the low byte of each value
    // as a palette index).
    std::vector<std::vector<uint32_t>> graphics;
    std::vector<int32_t> frames; // block numbers, one per animation frame
    std::vector<FmpAnimation> animations;
    // Cell layers 0..7 as the game reads them: block numbers, or -1 - n for
    // animation n. An empty layer is not written.
    std::vector<int16_t> layers[8];

    int bytesPerPixel() const { return (blockDepth + 1) / 8; }
    int graphicSize() const { return blockWidth * blockHeight * bytesPerPixel(); }
};

// Encodes one 0x00RRGGBB pixel in the map's depth, lowest address first.
void encodeFmpPixel(uint32_t rgb, int depth, uint8_t* out);

std::vector<uint8_t> writeFmp(const FmpMap& map);
bool writeFmpFile(const FmpMap& map, const std::string& path);
