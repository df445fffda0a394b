// Reads back the bitmap files the artwork generator writes, field by field,
// so the tests check the bytes on disk rather than the writer's own view.
#pragma once

#include "lib/ByteOrder.h"
#include "tools/artgen/Bitmap.h"

#include <cstdint>
#include <vector>

struct ReadBmp {
    bool ok = false;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t bitsPerPixel = 0;
    std::vector<Rgb> palette;
    std::vector<uint8_t> indices; // 8-bit pictures, rows from the top
    RgbImage image;               // both kinds, rows from the top

    Rgb at(int x, int y) const { return image.at(x, y); }
};

inline ReadBmp readBmp(const std::vector<uint8_t>& bytes) {
    ReadBmp out;
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M')
        return out;
    const uint8_t* p = bytes.data();
    const uint32_t dataOffset = readLE32(p + 10);
    const uint32_t coloursUsed = readLE32(p + 46);
    out.width = static_cast<int32_t>(readLE32(p + 18));
    out.height = static_cast<int32_t>(readLE32(p + 22));
    out.bitsPerPixel = readLE16(p + 28);
    if (out.width <= 0 || out.height <= 0 || (out.bitsPerPixel != 8 && out.bitsPerPixel != 24))
        return out;
    const int rowSize = bmpRowSize(out.width, out.bitsPerPixel);
    if (dataOffset + static_cast<size_t>(rowSize) * out.height > bytes.size())
        return out;
    if (out.bitsPerPixel == 8) {
        const int entries = coloursUsed ? static_cast<int>(coloursUsed) : 256;
        for (int i = 0; i < entries; ++i) {
            const uint8_t* e = p + 54 + 4 * i;
            out.palette.push_back(Rgb{e[2], e[1], e[0]});
        }
    }
    out.image = RgbImage(out.width, out.height);
    for (int y = 0; y < out.height; ++y) {
        const uint8_t* row = p + dataOffset + (out.height - 1 - y) * rowSize;
        for (int x = 0; x < out.width; ++x) {
            if (out.bitsPerPixel == 24) {
                out.image.at(x, y) = Rgb{row[3 * x + 2], row[3 * x + 1], row[3 * x]};
            } else {
                out.indices.push_back(row[x]);
                out.image.at(x, y) = out.palette[row[x]];
            }
        }
    }
    out.ok = true;
    return out;
}
