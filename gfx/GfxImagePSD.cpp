#include "gfx/GfxImageLoader.h"
#include "gfx/GfxTypes.h"
#include "lib/ByteOrder.h"

#include <cstring>

namespace {

constexpr size_t kHeaderSize = 26;
constexpr int kMaxChannels = 24;
// Byte of a blue, green, red, alpha pixel that each file channel fills.
constexpr int kChannelByte[4] = {2, 1, 0, 3};

// Skips a section that starts with its 4-byte length.
bool skipSection(const uint8_t* data, size_t size, size_t& p) {
    if (size - p < 4)
        return false;
    const uint32_t length = readBE32(data + p);
    p += 4;
    if (length > size - p)
        return false;
    p += length;
    return true;
}

} // namespace

bool GfxImagePSD::CanLoad(const uint8_t* header, size_t headerLength, const uint8_t*,
                          size_t) const {
    return headerLength >= 5 && std::memcmp(header, "8BPS", 4) == 0 && header[4] == 0;
}

bool GfxImagePSD::Load(const uint8_t* data, size_t size) {
    if (size < kHeaderSize)
        return false;
    const int version = readBE16(data + 4);
    const int channels = readBE16(data + 12);
    const uint32_t height = readBE32(data + 14);
    const uint32_t width = readBE32(data + 18);
    const int depth = readBE16(data + 22);
    const int mode = readBE16(data + 24);
    if (version != 1 || channels < 1 || channels > kMaxChannels || depth != 8 || mode != 3)
        return false;
    if (width > static_cast<uint32_t>(kGfxMaxSide) || height > static_cast<uint32_t>(kGfxMaxSide))
        return false;
    if (!image_.allocate(static_cast<int>(width), static_cast<int>(height), 32))
        return false;
    image_.topDown = true;

    size_t p = kHeaderSize;
    // Colour mode data, image resources, layer and mask information.
    for (int i = 0; i < 3; ++i)
        if (!skipSection(data, size, p))
            return false;
    if (size - p < 2)
        return false;
    const int compression = readBE16(data + p);
    p += 2;
    if (compression != 0 && compression != 1)
        return false;

    const size_t plane = static_cast<size_t>(width) * height;
    uint8_t* pixels = image_.pixels.data();
    // Channels the file does not have: colour 0, alpha opaque.
    for (size_t i = 0; i < plane; ++i)
        pixels[i * 4 + 3] = 255;
    const int used = channels < 4 ? channels : 4;

    if (compression == 0) {
        for (int c = 0; c < used; ++c) {
            if (size - p < plane)
                return false;
            const uint8_t* from = data + p;
            for (size_t i = 0; i < plane; ++i)
                pixels[i * 4 + kChannelByte[c]] = from[i];
            p += plane;
        }
        return true;
    }

    // Packed bits, after the table of row byte counts.
    const size_t table = static_cast<size_t>(channels) * height * 2;
    if (size - p < table)
        return false;
    p += table;
    for (int c = 0; c < used; ++c) {
        const int at = kChannelByte[c];
        size_t out = 0;
        while (out < plane) {
            if (p >= size)
                return false;
            const uint8_t n = data[p++];
            if (n < 128) {
                const size_t count = n + 1u;
                if (size - p < count || count > plane - out)
                    return false;
                for (size_t i = 0; i < count; ++i)
                    pixels[(out + i) * 4 + at] = data[p + i];
                p += count;
                out += count;
            } else if (n > 128) {
                const size_t count = 257u - n;
                if (p >= size || count > plane - out)
                    return false;
                const uint8_t v = data[p++];
                for (size_t i = 0; i < count; ++i)
                    pixels[(out + i) * 4 + at] = v;
                out += count;
            }
        }
    }
    return true;
}
