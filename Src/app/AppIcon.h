// The window's icon, painted by the build (artgen --icons) and compiled in.
#pragma once

#include <cstdint>

extern const int kAppIconSize;          // width and height in pixels
extern const uint32_t kAppIconPixels[]; // 0xAARRGGBB, row by row from the top
