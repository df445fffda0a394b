#include "gfx/GfxImageLoader.h"
#include "gfx/GfxTypes.h"
#include "lib/ByteOrder.h"

#include <cstring>
#include <vector>

namespace {

constexpr size_t kHeaderSize = 128;
constexpr size_t kPaletteFromEnd = 769;

} // namespace

bool GfxImagePCX::CanLoad(const uint8_t* header, size_t headerLength, const uint8_t*,
                          size_t) const {
    return headerLength >= 3 && header[0] == 10 && header[1] == 5 && header[2] == 1;
}

bool GfxImagePCX::Load(const uint8_t* data, size_t size) {
    if (size < kHeaderSize)
        return false;
    const int bitsPerPixel = data[3];
    const int xMin = readLE16(data + 4), yMin = readLE16(data + 6);
    const int xMax = readLE16(data + 8), yMax = readLE16(data + 10);
    const int planes = data[65];
    const size_t bytesPerLine = readLE16(data + 66);
    const int width = xMax - xMin + 1;
    const int height = yMax - yMin + 1;
    if (bitsPerPixel != 8 || (planes != 1 && planes != 3))
        return false;
    // A plane must hold the whole row it is cut from.
    if (width <= 0 || bytesPerLine < static_cast<size_t>(width))
        return false;
    if (!image_.allocate(width, height, planes == 1 ? 8 : 24))
        return false;
    image_.topDown = true;

    std::vector<uint8_t> line(bytesPerLine);
    size_t p = kHeaderSize;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = image_.pixels.data() + static_cast<size_t>(y) * image_.rowBytes;
        for (int plane = 0; plane < planes; ++plane) {
            size_t n = 0;
            while (n < bytesPerLine) {
                if (p >= size)
                    return false;
                const uint8_t b = data[p++];
                if (b >= 0xC0) {
                    const size_t count = b & 0x3Fu;
                    if (p >= size || count > bytesPerLine - n)
                        return false; // the run does not end with the plane
                    std::memset(line.data() + n, data[p++], count);
                    n += count;
                } else {
                    line[n++] = b;
                }
            }
            if (planes == 1) {
                std::memcpy(row, line.data(), static_cast<size_t>(width));
            } else {
                // Planes are red, green, blue; pixels are stored blue first.
                for (int x = 0; x < width; ++x)
                    row[x * 3 + 2 - plane] = line[static_cast<size_t>(x)];
            }
        }
    }

    if (planes == 1) {
        // The palette marker lies 769 bytes before the end, in files that
        // long enough to hold one; otherwise the palette stays black.
        if (size >= kHeaderSize + kPaletteFromEnd && data[size - kPaletteFromEnd] == 12) {
            const uint8_t* triples = data + size - kPaletteFromEnd + 1;
            for (int i = 0; i < 256; ++i) {
                image_.palette[i][0] = triples[i * 3 + 2];
                image_.palette[i][1] = triples[i * 3 + 1];
                image_.palette[i][2] = triples[i * 3];
                image_.palette[i][3] = 0;
            }
        }
        image_.paletteSize = 256;
    }
    return true;
}
