#include "map/FmpWriter.h"

#include "lib/ByteOrder.h"
#include "lib/HostPath.h"

#include <cstdio>

namespace {

void appendChunk(std::vector<uint8_t>& out, const char* id, const std::vector<uint8_t>& data) {
    const size_t at = out.size();
    out.resize(at + 8 + data.size());
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(id[i]);
    writeBE32(&out[at + 4], static_cast<uint32_t>(data.size()));
    std::copy(data.begin(), data.end(), out.begin() + static_cast<std::ptrdiff_t>(at + 8));
}

void put16(std::vector<uint8_t>& out, size_t at, uint16_t v) {
    writeLE16(&out[at], v);
}

void append32(std::vector<uint8_t>& out, uint32_t v) {
    uint8_t b[4];
    writeLE32(b, v);
    out.insert(out.end(), b, b + 4);
}

} // namespace

void encodeFmpPixel(uint32_t rgb, int depth, uint8_t* out) {
    const uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    switch (depth) {
    case 8:
        out[0] = static_cast<uint8_t>(rgb);
        break;
    case 15:
        writeBE16(out, static_cast<uint16_t>((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3)));
        break;
    case 16:
        writeBE16(out, static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3)));
        break;
    case 24:
        out[0] = static_cast<uint8_t>(r);
        out[1] = static_cast<uint8_t>(g);
        out[2] = static_cast<uint8_t>(b);
        break;
    default: // 32: an unused byte, then red, green, blue
        out[0] = 0;
        out[1] = static_cast<uint8_t>(r);
        out[2] = static_cast<uint8_t>(g);
        out[3] = static_cast<uint8_t>(b);
        break;
    }
}

std::vector<uint8_t> writeFmp(const FmpMap& map) {
    std::vector<uint8_t> out = {'F', 'O', 'R', 'M', 0, 0, 0, 0, 'F', 'M', 'A', 'P'};

    std::vector<uint8_t> header(24, 0);
    header[0] = 1; // format version 1.0, little-endian data
    header[2] = 1;
    put16(header, 4, map.mapWidth);
    put16(header, 6, map.mapHeight);
    put16(header, 12, map.blockWidth);
    put16(header, 14, map.blockHeight);
    put16(header, 16, map.blockDepth);
    put16(header, 18, 32);
    put16(header, 20, static_cast<uint16_t>(map.blocks.size()));
    put16(header, 22, static_cast<uint16_t>(map.graphics.size()));
    appendChunk(out, "MPHD", header);

    if (!map.colourMap.empty())
        appendChunk(out, "CMAP", map.colourMap);

    std::vector<uint8_t> records;
    for (const FmpBlockRecord& block : map.blocks) {
        for (int32_t offset : block.graphics)
            append32(records, static_cast<uint32_t>(offset));
        records.insert(records.end(), block.extra, block.extra + 16);
    }
    appendChunk(out, "BKDT", records);

    if (!map.animations.empty()) {
        // The frame list, then the end marker, then the records with
        // animation 0 last; frame offsets count from the chunk's end.
        std::vector<uint8_t> andt;
        for (int32_t frame : map.frames)
            append32(andt, static_cast<uint32_t>(frame * 32));
        const size_t records = map.animations.size() + 1;
        const int64_t total = static_cast<int64_t>(andt.size() + 16 * records);
        auto frameOffset = [&](int32_t index) {
            return static_cast<uint32_t>(static_cast<int32_t>(index * 4 - total));
        };
        std::vector<uint8_t> marker(16, 0);
        marker[0] = 255;
        andt.insert(andt.end(), marker.begin(), marker.end());
        for (size_t i = map.animations.size(); i-- > 0;) {
            const FmpAnimation& a = map.animations[i];
            andt.push_back(a.type);
            andt.insert(andt.end(), a.extra, a.extra + 3);
            append32(andt, frameOffset(a.currentFrame));
            append32(andt, frameOffset(a.firstFrame));
            append32(andt, frameOffset(a.lastFrame));
        }
        appendChunk(out, "ANDT", andt);
    }

    std::vector<uint8_t> pixels;
    const int bpp = map.bytesPerPixel();
    for (const std::vector<uint32_t>& graphic : map.graphics) {
        for (int i = 0; i < map.blockWidth * map.blockHeight; ++i) {
            uint8_t encoded[4];
            encodeFmpPixel(i < static_cast<int>(graphic.size()) ? graphic[static_cast<size_t>(i)]
                                                                : 0,
                           map.blockDepth, encoded);
            pixels.insert(pixels.end(), encoded, encoded + bpp);
        }
    }
    appendChunk(out, "BGFX", pixels);

    for (int n = 0; n < 8; ++n) {
        if (map.layers[n].empty())
            continue;
        std::vector<uint8_t> cells;
        for (int16_t block : map.layers[n]) {
            const int32_t stored = block >= 0 ? block * 32 : block * 16;
            cells.push_back(static_cast<uint8_t>(stored));
            cells.push_back(static_cast<uint8_t>(stored >> 8));
        }
        const char id[5] = {'L', 'Y', 'R', static_cast<char>('0' + n), 0};
        appendChunk(out, n == 0 ? "BODY" : id, cells);
    }

    writeBE32(&out[4], static_cast<uint32_t>(out.size() - 8));
    return out;
}

bool writeFmpFile(const FmpMap& map, const std::string& path) {
    const std::vector<uint8_t> bytes = writeFmp(map);
    FILE* file = std::fopen(hostPath(path.c_str()).c_str(), "wb");
    if (!file)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}
