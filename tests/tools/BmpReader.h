// Bitmap files read back with the game's own decoder, as the game reads them.
#pragma once

#include "gfx/GfxImage.h"
#include "gfx/GfxImageLoader.h"
#include "tools/artgen/Bitmap.h"

#include <cstdint>
#include <vector>

struct ReadBmp {
    bool ok = false;
    int width = 0, height = 0, bitsPerPixel = 0;
    std::vector<Rgb> palette;
    std::vector<uint8_t> indices; // 8-bit pictures, rows from the top
    RgbImage image;               // both kinds, rows from the top

    Rgb at(int x, int y) const { return image.at(x, y); }
};

inline ReadBmp readBmp(const std::vector<uint8_t>& bytes) {
    ReadBmp out;
    GfxDib dib;
    if (!GfxImage::Decode(bytes.data(), bytes.size(), GfxImage::kBMP, dib) ||
        (dib.bitsPerPixel != 8 && dib.bitsPerPixel != 24))
        return out;
    out = {true, dib.width, dib.height, dib.bitsPerPixel, {}, {}, RgbImage(dib.width, dib.height)};
    for (int i = 0; i < dib.paletteSize; ++i)
        out.palette.push_back(Rgb{dib.palette[i][2], dib.palette[i][1], dib.palette[i][0]});
    for (int y = 0; y < dib.height; ++y) {
        const uint8_t* row =
            &dib.pixels[static_cast<size_t>((dib.topDown ? y : dib.height - 1 - y) * dib.rowBytes)];
        for (int x = 0; x < dib.width; ++x) {
            if (dib.bitsPerPixel == 8)
                out.indices.push_back(row[x]);
            const uint8_t* p = dib.bitsPerPixel == 8 ? dib.palette[row[x]] : row + 3 * x;
            out.image.at(x, y) = Rgb{p[2], p[1], p[0]};
        }
    }
    return out;
}
