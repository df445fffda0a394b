#include "gfx/GfxImageLoader.h"
#include "gfx/GfxTypes.h"
#include "lib/ByteOrder.h"

#include <cstring>

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;

bool validBitCount(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

} // namespace

bool GfxImageBMP::CanLoad(const uint8_t* header, size_t headerLength, const uint8_t*,
                          size_t) const {
    return headerLength >= 2 && header[0] == 'B' && header[1] == 'M';
}

bool GfxImageBMP::Load(const uint8_t* data, size_t size) {
    if (size < kFileHeaderSize + kInfoHeaderSize)
        return false;
    const uint32_t dataOffset = readLE32(data + 10);
    const uint32_t headerSize = readLE32(data + 14);
    const int32_t width = static_cast<int32_t>(readLE32(data + 18));
    int32_t height = static_cast<int32_t>(readLE32(data + 22));
    const int bitCount = readLE16(data + 28);
    const uint32_t compression = readLE32(data + 30);
    const uint32_t coloursUsed = readLE32(data + 46);

    if (headerSize < kInfoHeaderSize || headerSize > size - kFileHeaderSize)
        return false;
    if (height < 0) {
        if (!allowTopDown_ || height == INT32_MIN)
            return false;
        height = -height;
        image_.topDown = true;
    }
    if (!validBitCount(bitCount) || !image_.allocate(width, height, bitCount))
        return false;

    if (bitCount <= 8) {
        // The colour table follows the information header; it can hold no
        // more than 256 entries whatever "colours used" claims.
        uint32_t count = coloursUsed ? coloursUsed : (1u << bitCount);
        if (count > 256)
            count = 256;
        const size_t at = kFileHeaderSize + headerSize;
        if (at > size || (size - at) / 4 < count)
            return false;
        for (uint32_t i = 0; i < count; ++i) {
            std::memcpy(image_.palette[i], data + at + i * 4, 3);
            image_.palette[i][3] = 0;
        }
        image_.paletteSize = static_cast<int>(count);
    }

    if (dataOffset >= size)
        return false;
    if (compression == 0) {
        if (image_.pixels.size() > size - dataOffset)
            return false;
        std::memcpy(image_.pixels.data(), data + dataOffset, image_.pixels.size());
        return true;
    }
    if (compression == 1 && bitCount == 8)
        return decodeRle8(data, size, dataOffset);
    // Other compressions (run-length 4-bit, bit fields) are not decoded.
    return false;
}

bool GfxImageBMP::decodeRle8(const uint8_t* data, size_t size, size_t p) {
    const size_t rowBytes = static_cast<size_t>(image_.rowBytes);
    const size_t height = static_cast<size_t>(image_.height);
    uint8_t* pixels = image_.pixels.data();
    size_t x = 0, y = 0;
    // The buffer starts zeroed, so skipped and unwritten pixels are 0.
    for (;;) {
        if (size - p < 2)
            return false; // the stream ends before its end-of-bitmap code
        const uint8_t n = data[p], v = data[p + 1];
        p += 2;
        if (n > 0) {
            if (n > rowBytes - x)
                return false; // the run overruns its row
            std::memset(pixels + y * rowBytes + x, v, n);
            x += n;
            continue;
        }
        switch (v) {
        case 0: // end of line
            x = 0;
            if (++y == height)
                return true;
            break;
        case 1: // end of bitmap
            return true;
        case 2: { // delta
            if (size - p < 2)
                return false;
            const uint8_t dx = data[p], dy = data[p + 1];
            p += 2;
            y += dy;
            if (y >= height)
                return true;
            if (dx > rowBytes - x)
                return false;
            x += dx;
            break;
        }
        default: // literal run, padded to an even count
            if (size - p < v || v > rowBytes - x)
                return false;
            std::memcpy(pixels + y * rowBytes + x, data + p, v);
            x += v;
            p += v;
            if ((v & 1) && p < size)
                ++p;
            break;
        }
    }
}
