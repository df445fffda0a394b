// Writers of the picture formats the game reads: a whole file in memory from a test picture.
#pragma once

#include "tests/support/Golden.h"

#include <cstdint>
#include <string>
#include <vector>

// Colours (0x00RRGGBB) and, for indexed formats, palette indices and their palette.
struct TestPicture {
    int width = 0, height = 0;
    std::vector<uint32_t> rgb;
    std::vector<uint8_t> index;
    std::vector<uint32_t> palette;

    uint32_t at(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
};

// Distinct colours; with colours > 0 indexed with that many palette entries.
TestPicture makePicture(int width, int height, int colours = 0);

struct BmpOptions {
    int bits = 24;            // 1, 4, 8 (indexed), 16, 24, 32
    bool rle8 = false;        // run-length 8-bit compression
    uint32_t coloursUsed = 0; // written as is; 0 means the palette's size
    bool topDown = false;     // negative height
};
std::string writeBmp(const TestPicture& picture, const BmpOptions& options = {});

struct PsdOptions {
    int channels = 3;
    bool rle = false;
    int mode = 3;  // 3 RGB, 1 greyscale, 4 CMYK
    int depth = 8; // bits per channel
};
std::string writePsd(const TestPicture& picture, const PsdOptions& options = {});

struct TgaOptions {
    int depth = 24; // 8 (colour mapped), 16, 24, 32
    bool rle = false;
    bool topDown = false;
    bool footer = true;
    int mapFirst = 0; // first index of the colour map
    int mapBits = 24; // bits of a colour map entry: 15, 16, 24, 32
};
std::string writeTga(const TestPicture& picture, const TgaOptions& options = {});

struct PcxOptions {
    int planes = 1; // 1 (indexed) or 3 (red, green, blue)
    int paletteMarker = 12;
    int extraBytesPerLine = 0;
};
std::string writePcx(const TestPicture& picture, const PcxOptions& options = {});
