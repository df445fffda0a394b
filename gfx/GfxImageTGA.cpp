#include "gfx/GfxImageLoader.h"
#include "gfx/GfxTypes.h"
#include "lib/ByteOrder.h"

#include <cstring>

namespace {

constexpr size_t kHeaderSize = 18;
constexpr size_t kFooterSignatureFromEnd = 18;

bool validDepth(int depth) {
    return depth == 8 || depth == 16 || depth == 24 || depth == 32;
}

// One file pixel of the given depth into the decoded form: an index, or
// blue, green, red.
void convertPixel(const uint8_t* p, int depth, uint8_t* out) {
    switch (depth) {
    case 8:
        out[0] = p[0];
        break;
    case 16: {
        const uint16_t v = readLE16(p);
        out[0] = static_cast<uint8_t>((v & 0x1F) << 3);
        out[1] = static_cast<uint8_t>(((v >> 5) & 0x1F) << 3);
        out[2] = static_cast<uint8_t>(((v >> 10) & 0x1F) << 3);
        break;
    }
    default: // 24 and 32: blue, green, red; a fourth byte is dropped
        out[0] = p[0];
        out[1] = p[1];
        out[2] = p[2];
        break;
    }
}

} // namespace

bool GfxImageTGA::CanLoad(const uint8_t* header, size_t headerLength, const uint8_t* tail,
                          size_t tailLength) const {
    return tailLength >= kFooterSignatureFromEnd && headerLength > 16 &&
           std::memcmp(tail + tailLength - kFooterSignatureFromEnd, "TRUEVISION-XFILE", 16) == 0 &&
           validDepth(header[16]);
}

bool GfxImageTGA::Load(const uint8_t* data, size_t size) {
    if (size < kHeaderSize)
        return false;
    const int idLength = data[0];
    const int colourMapType = data[1];
    const int imageType = data[2];
    const int mapFirst = readLE16(data + 3);
    const int mapLength = readLE16(data + 5);
    int entrySize = data[7];
    const int width = readLE16(data + 12);
    const int height = readLE16(data + 14);
    const int depth = data[16];
    const int descriptor = data[17];
    if (!validDepth(depth))
        return false;
    const bool compressed = imageType == 9 || imageType == 10 || imageType == 11;
    if (!compressed && imageType != 1 && imageType != 2 && imageType != 3)
        return false;
    if (!image_.allocate(width, height, depth == 8 ? 8 : 24))
        return false;
    image_.topDown = (descriptor & 0x20) != 0;

    if (entrySize == 15)
        entrySize = 16;
    const size_t entryBytes = static_cast<size_t>(entrySize / 8);
    const size_t mapOffset = kHeaderSize + static_cast<size_t>(idLength);
    const size_t dataOffset = mapOffset + static_cast<size_t>(mapLength) * entryBytes;
    if (dataOffset > size)
        return false;

    if (depth == 8 && colourMapType != 0) {
        // Map entry i is palette slot first + i.
        for (int i = 0; i < mapLength && mapFirst + i < 256; ++i) {
            const uint8_t* e = data + mapOffset + static_cast<size_t>(i) * entryBytes;
            uint8_t* slot = image_.palette[mapFirst + i];
            if (entrySize == 24 || entrySize == 32) {
                slot[0] = e[0], slot[1] = e[1], slot[2] = e[2];
            } else if (entrySize == 16) {
                convertPixel(e, 16, slot);
            }
            slot[3] = 0;
        }
        image_.paletteSize = 256;
    } else if (depth == 8) {
        // No colour map: a grey image.
        for (int i = 0; i < 256; ++i)
            image_.palette[i][0] = image_.palette[i][1] = image_.palette[i][2] =
                static_cast<uint8_t>(i);
        image_.paletteSize = 256;
    }

    const size_t pixelBytes = static_cast<size_t>(depth / 8);
    const size_t outBytes = depth == 8 ? 1 : 3;
    const size_t w = static_cast<size_t>(width);
    const size_t total = w * static_cast<size_t>(height);
    const uint8_t* p = data + dataOffset;
    const size_t available = size - dataOffset;
    auto outAt = [&](size_t index) {
        return image_.pixels.data() + (index / w) * static_cast<size_t>(image_.rowBytes) +
               (index % w) * outBytes;
    };

    if (!compressed) {
        if (available / pixelBytes < total)
            return false;
        for (size_t i = 0; i < total; ++i)
            convertPixel(p + i * pixelBytes, depth, outAt(i));
        return true;
    }

    // Packets run across row ends; decoding stops when the last row is full.
    size_t used = 0, i = 0;
    while (i < total) {
        if (used >= available)
            return false;
        const uint8_t h = p[used++];
        const size_t count = (h & 127u) + 1u;
        if (count > total - i)
            return false; // the packet overruns the image
        if (h >= 128) {
            if (available - used < pixelBytes)
                return false;
            uint8_t pixel[3] = {};
            convertPixel(p + used, depth, pixel);
            used += pixelBytes;
            for (size_t k = 0; k < count; ++k, ++i)
                std::memcpy(outAt(i), pixel, outBytes);
        } else {
            if ((available - used) / pixelBytes < count)
                return false;
            for (size_t k = 0; k < count; ++k, ++i, used += pixelBytes)
                convertPixel(p + used, depth, outAt(i));
        }
    }
    return true;
}
