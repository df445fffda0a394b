// Every picture the game ships, as bitmap files ready to be written.
#pragma once

#include "tools/artgen/Png.h"

#include <cstdint>
#include <string>
#include <vector>

struct ArtFile {
    bool isBlockSheet; // goes below the art directory, else into Gfx
    std::string path;  // relative, with forward slashes
    std::vector<uint8_t> bytes;
};

std::vector<ArtFile> generateArt();

// The application icon at the sizes desktop icon themes use, as PNG files
// named "<N>x<N>/apps/lurvane.png" below a theme directory.
constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
std::vector<ArtFile> generateIcons();

// The window's icon, compiled into the game: C++ source that defines
// kAppIconSize and kAppIconPixels (0xAARRGGBB, row by row) of AppIcon.h
// from a square picture, makeIcon(kWindowIconSize).
constexpr int kWindowIconSize = 64;
std::string windowIconSource(const RgbaImage& icon);
