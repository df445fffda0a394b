#include "gfx/GfxTypes.h"

#include <bit>

GfxPixelFormat GfxPixelFormat::forDepth(int depth) {
    GfxPixelFormat format;
    switch (depth) {
    case 8:
        format.bitsPerPixel = 8;
        break;
    case 15:
        format = {16, 0x7C00, 0x03E0, 0x001F, true};
        break;
    case 16:
        format = {16, 0xF800, 0x07E0, 0x001F, true};
        break;
    case 24:
        format = {24, 0xFF0000, 0x00FF00, 0x0000FF, true};
        break;
    case 32:
        format = {32, 0xFF0000, 0x00FF00, 0x0000FF, true};
        break;
    default:
        break;
    }
    return format;
}

namespace {

void analyseMask(uint32_t mask, uint8_t& shifted, uint8_t& shift) {
    int count = 0;
    while (count < 32 && !(mask & 1u)) {
        mask >>= 1;
        ++count;
    }
    shifted = static_cast<uint8_t>(mask);
    shift = static_cast<uint8_t>(count);
}

} // namespace

bool analysePixelFormat(const GfxPixelFormat& format, PixelFormatInfo& info) {
    info = PixelFormatInfo();
    if (format.bitsPerPixel < 9) {
        info.depth = format.bitsPerPixel == 8 ? 8 : 0;
        return info.depth != 0;
    }
    analyseMask(format.redMask, info.redMask, info.redShift);
    analyseMask(format.greenMask, info.greenMask, info.greenShift);
    analyseMask(format.blueMask, info.blueMask, info.blueShift);
    if (!format.isRGB)
        return false;
    switch (format.bitsPerPixel) {
    case 16:
        info.depth = info.redMask + info.greenMask + info.blueMask == 93 ? 15 : 16;
        break;
    case 24:
    case 32:
        info.depth = format.bitsPerPixel;
        break;
    default:
        info.depth = 0;
        break;
    }
    return info.depth != 0;
}

namespace {

uint32_t placeComponent(uint32_t component, uint32_t mask) {
    if (!mask)
        return 0;
    const int shift = std::countr_zero(mask);
    const int width = std::countr_one(mask >> shift);
    const uint32_t top = width >= 8 ? component << (width - 8) : component >> (8 - width);
    return (top << shift) & mask;
}

} // namespace

uint32_t convertColorToFormat(uint32_t colour, const GfxPixelFormat& format) {
    if (format.bitsPerPixel < 9)
        return colour;
    return placeComponent(colour & 0xFF, format.redMask) |
           placeComponent((colour >> 8) & 0xFF, format.greenMask) |
           placeComponent((colour >> 16) & 0xFF, format.blueMask);
}

void makeDefaultPalette(GfxPaletteEntry table[256]) {
    for (int i = 0; i < 256; ++i) {
        table[i].red = static_cast<uint8_t>(((i >> 5) & 7) * 255 / 7);
        table[i].green = static_cast<uint8_t>(((i >> 2) & 7) * 255 / 7);
        table[i].blue = static_cast<uint8_t>((i & 3) * 255 / 3);
        table[i].flags = 0;
    }
}

uint8_t nearestPaletteIndex(const GfxPaletteEntry table[256], uint32_t colour) {
    const int r = static_cast<int>(colour & 0xFF), g = static_cast<int>((colour >> 8) & 0xFF),
              b = static_cast<int>((colour >> 16) & 0xFF);
    int best = 0, bestDistance = 1 << 30;
    for (int i = 0; i < 256; ++i) {
        const int dr = table[i].red - r, dg = table[i].green - g, db = table[i].blue - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
            if (distance == 0)
                break;
        }
    }
    return static_cast<uint8_t>(best);
}
