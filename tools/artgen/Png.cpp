#include "tools/artgen/Png.h"

#include "lib/ByteOrder.h"

#include <algorithm>

namespace {

constexpr size_t kStoredBlockMax = 65535;

void appendBE32(std::vector<uint8_t>& out, uint32_t v) {
    uint8_t b[4];
    writeBE32(b, v);
    out.insert(out.end(), b, b + 4);
}

// Length, type, data and the CRC over type and data.
void appendChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
    appendBE32(out, static_cast<uint32_t>(data.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    appendBE32(out, pngCrc32(out.data() + typeAt, 4 + data.size()));
}

} // namespace

std::vector<uint8_t> zlibStored(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> out = {0x78, 0x01};
    size_t at = 0;
    do {
        const size_t n = std::min(kStoredBlockMax, raw.size() - at);
        const bool last = at + n == raw.size();
        out.push_back(last ? 1 : 0);
        uint8_t lengths[4];
        writeLE16(lengths, static_cast<uint16_t>(n));
        writeLE16(lengths + 2, static_cast<uint16_t>(~n));
        out.insert(out.end(), lengths, lengths + 4);
        out.insert(out.end(), raw.begin() + at, raw.begin() + at + n);
        at += n;
    } while (at < raw.size());
    appendBE32(out, adler32(raw.data(), raw.size()));
    return out;
}

uint32_t pngCrc32(const uint8_t* data, size_t size, uint32_t crc) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

uint32_t adler32(const uint8_t* data, size_t size) {
    uint32_t a = 1, b = 0;
    for (size_t i = 0; i < size; ++i) {
        a = (a + data[i]) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

std::vector<uint8_t> encodePng(const RgbaImage& image, ZlibPacker pack) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> out(signature, signature + 8);

    std::vector<uint8_t> header(13, 0);
    writeBE32(header.data(), static_cast<uint32_t>(image.width));
    writeBE32(header.data() + 4, static_cast<uint32_t>(image.height));
    header[8] = 8; // bits per channel
    header[9] = 6; // red, green, blue, alpha
    appendChunk(out, "IHDR", header);

    // Each row: filter type 0, then the pixels in R, G, B, A order.
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(image.height) * (1 + 4 * static_cast<size_t>(image.width)));
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < image.width; ++x) {
            const uint32_t p = image.pixels[static_cast<size_t>(y) * image.width + x];
            raw.push_back(static_cast<uint8_t>(p >> 16));
            raw.push_back(static_cast<uint8_t>(p >> 8));
            raw.push_back(static_cast<uint8_t>(p));
            raw.push_back(static_cast<uint8_t>(p >> 24));
        }
    }
    appendChunk(out, "IDAT", pack(raw));
    appendChunk(out, "IEND", {});
    return out;
}
