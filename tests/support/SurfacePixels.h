// The pixel values of a rectangle of a surface, row by row, for comparing
// two drawings of the same thing.
#pragma once

#include "gfx/GfxSurface.h"

#include <cstdint>
#include <vector>

inline std::vector<uint32_t> pixelsOf(GfxSurface& surface, int left, int top, int width,
                                      int height) {
    std::vector<uint32_t> pixels;
    surface.Lock();
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
            pixels.push_back(surface.GetPixel(x, y));
    surface.Unlock();
    return pixels;
}

// One pixel of a surface, locked for the read only.
inline uint32_t pixelOf(GfxSurface& s, int x, int y) {
    return pixelsOf(s, x, y, 1, 1)[0];
}

// Every pixel of a surface, row by row.
inline std::vector<uint32_t> pixelsOf(GfxSurface& s) {
    return pixelsOf(s, 0, 0, s.GetWidth(), s.GetHeight());
}
