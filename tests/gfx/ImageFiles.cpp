#include "tests/gfx/ImageFiles.h"

#include "lib/ByteOrder.h"
#include "tests/support/ByteBuilder.h"

namespace {

// Red, green and blue as planes 0, 1 and 2.
uint8_t plane(uint32_t c, int k) {
    return static_cast<uint8_t>(c >> (16 - 8 * k));
}
uint16_t rgb555(uint32_t c) {
    return static_cast<uint16_t>(((c >> 9) & 0x7C00) | ((c >> 6) & 0x3E0) | ((c >> 3) & 0x1F));
}
ByteBuilder& bgrBytes(ByteBuilder& out, uint32_t c) {
    return out.u8(plane(c, 2)).u8(plane(c, 1)).u8(plane(c, 0));
}
// A TGA colour of 15 or 16 (5-5-5), 24 or 32 bits (with an alpha byte).
ByteBuilder& tgaColour(ByteBuilder& out, uint32_t c, int bits) {
    return bits <= 16   ? out.le16(rgb555(c))
           : bits == 24 ? bgrBytes(out, c)
                        : bgrBytes(out, c).u8(0x80);
}

// Runs of two or more equal items and literal stretches up to a run, each at most longest.
template <class Same, class Run, class Literal>
void splitRuns(size_t count, size_t longest, Same same, Run run, Literal literal) {
    for (size_t i = 0; i < count;) {
        size_t n = 1;
        while (i + n < count && n < longest && same(i + n, i))
            ++n;
        if (n >= 2) {
            run(i, n);
        } else {
            while (i + n < count && n < longest && !(i + n + 1 < count && same(i + n, i + n + 1)))
                ++n;
            literal(i, n);
        }
        i += n;
    }
}

// Run-length 8-bit rows: runs, literals of three or more, an end-of-line after each row.
void encodeRle8Row(ByteBuilder& out, const uint8_t* row, int width) {
    splitRuns(
        static_cast<size_t>(width), 255, [&](size_t a, size_t b) { return row[a] == row[b]; },
        [&](size_t at, size_t n) { out.u8(static_cast<uint8_t>(n)).u8(row[at]); },
        [&](size_t at, size_t n) {
            if (n < 3) {
                for (size_t i = 0; i < n; ++i)
                    out.u8(1).u8(row[at + i]);
                return;
            }
            out.u8(0).u8(static_cast<uint8_t>(n)).raw(row + at, n);
            if (n & 1)
                out.u8(0);
        });
    out.u8(0).u8(0);
}

// Packed bits: n < 128 then n + 1 literals; 257 - n repeats.
std::string packBits(const std::vector<uint8_t>& data) {
    ByteBuilder out;
    splitRuns(
        data.size(), 128, [&](size_t a, size_t b) { return data[a] == data[b]; },
        [&](size_t at, size_t n) { out.u8(static_cast<uint8_t>(257 - n)).u8(data[at]); },
        [&](size_t at, size_t n) { out.u8(static_cast<uint8_t>(n - 1)).raw(&data[at], n); });
    return out.data;
}

} // namespace

TestPicture makePicture(int width, int height, int colours) {
    TestPicture p{width, height, {}, {}, {}};
    for (uint32_t i = 0; i < static_cast<uint32_t>(colours); ++i)
        p.palette.push_back(((i * 97 + 13) & 0xFF) << 16 | ((i * 57 + 200) & 0xFF) << 8 |
                            ((i * 151 + 71) & 0xFF));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (colours > 0) {
                // Runs and changes mixed, so that run-length coders use both.
                const int i = ((x / 3) + y * 5 + (x > width / 2 ? x : 0)) % colours;
                p.index.push_back(static_cast<uint8_t>(i));
                p.rgb.push_back(p.palette[static_cast<size_t>(i)]);
            } else {
                const uint32_t r = static_cast<uint32_t>((x * 255) / (width > 1 ? width - 1 : 1));
                const uint32_t g = static_cast<uint32_t>((y * 255) / (height > 1 ? height - 1 : 1));
                const uint32_t b = static_cast<uint32_t>(((x / 4 + y / 4) % 2) * 200 + 20);
                p.rgb.push_back((r << 16) | (g << 8) | b);
            }
        }
    }
    return p;
}

std::string writeBmp(const TestPicture& p, const BmpOptions& o) {
    const int paletteSize = o.bits <= 8 ? static_cast<int>(p.palette.size()) : 0;
    const int rowSize = ((o.bits * p.width + 31) / 32) * 4;
    ByteBuilder pixels;
    for (int row = 0; row < p.height; ++row) {
        // Bottom-up unless a top-down file is asked for.
        const int y = o.topDown ? row : p.height - 1 - row;
        std::vector<uint8_t> line(static_cast<size_t>(rowSize), 0);
        for (int x = 0; x < p.width; ++x) {
            const uint32_t c = p.at(x, y);
            switch (o.bits) {
            case 1:
            case 4:
            case 8: {
                const int perByte = 8 / o.bits;
                const int shift = 8 - o.bits * (x % perByte + 1);
                line[static_cast<size_t>(x / perByte)] |=
                    static_cast<uint8_t>(p.index[static_cast<size_t>(y) * p.width + x] << shift);
                break;
            }
            case 16:
                writeLE16(&line[static_cast<size_t>(x) * 2], rgb555(c));
                break;
            default:
                for (int k = 0; k < 3; ++k)
                    line[static_cast<size_t>(x * (o.bits / 8) + k)] = plane(c, 2 - k);
                break;
            }
        }
        if (o.rle8)
            encodeRle8Row(pixels, line.data(), p.width);
        else
            pixels.raw(line.data(), line.size());
    }
    if (o.rle8)
        pixels.data.back() = 1; // the last end-of-line ends the bitmap

    const int32_t offset = 14 + 40 + paletteSize * 4;
    const auto size = static_cast<int32_t>(pixels.data.size());
    ByteBuilder out;
    out.raw("BM").i32(offset + size).i32(0).i32(offset).i32(40).i32(p.width);
    out.i32(o.topDown ? -p.height : p.height).le16(1).le16(o.bits).i32(o.rle8 ? 1 : 0).i32(size);
    out.i32(2835).i32(2835);
    out.i32(static_cast<int32_t>(o.coloursUsed ? o.coloursUsed : paletteSize)).i32(0);
    for (int i = 0; i < paletteSize; ++i)
        bgrBytes(out, p.palette[static_cast<size_t>(i)]).u8(0);
    return out.raw(pixels.data).data;
}

std::string writePsd(const TestPicture& p, const PsdOptions& o) {
    ByteBuilder out;
    out.raw("8BPS").be16(1).zeros(6).be16(o.channels);
    out.be32(static_cast<uint32_t>(p.height)).be32(static_cast<uint32_t>(p.width));
    out.be16(o.depth).be16(o.mode);
    out.be32(0);             // colour mode data
    out.be32(4).raw("8BIM"); // image resources: four bytes we do not read
    out.be32(0);             // layer and mask information
    out.be16(o.rle ? 1 : 0);

    std::vector<std::vector<uint8_t>> rows;
    for (int c = 0; c < o.channels; ++c)
        for (int y = 0; y < p.height; ++y) {
            std::vector<uint8_t>& row = rows.emplace_back();
            for (int x = 0; x < p.width; ++x) // alpha and extra channels: a pattern of their own
                row.push_back(c < 3 ? plane(p.at(x, y), c) : static_cast<uint8_t>(x * 16 + y));
        }
    if (!o.rle) {
        for (const std::vector<uint8_t>& row : rows)
            out.raw(row.data(), row.size());
        return out.data;
    }
    std::vector<std::string> packed;
    for (const std::vector<uint8_t>& row : rows)
        out.be16(static_cast<uint32_t>(packed.emplace_back(packBits(row)).size()));
    for (const std::string& row : packed)
        out.raw(row);
    return out.data;
}

std::string writeTga(const TestPicture& p, const TgaOptions& o) {
    const bool mapped = o.depth == 8 && !p.palette.empty();
    const int mapLength = mapped ? static_cast<int>(p.palette.size()) : 0;
    const int baseType = o.depth == 8 ? (mapped ? 1 : 3) : 2;
    ByteBuilder out;
    out.u8(3).u8(mapped ? 1 : 0).u8(o.rle ? baseType + 8 : baseType); // id length, map, type
    out.le16(o.mapFirst).le16(mapLength).u8(mapped ? o.mapBits : 0);
    out.le16(0).le16(0).le16(p.width).le16(p.height).u8(o.depth);
    out.u8((o.topDown ? 0x20 : 0) | (o.depth == 32 ? 8 : 0)).raw("id!");
    for (int i = 0; i < mapLength; ++i)
        tgaColour(out, p.palette[static_cast<size_t>(i)], o.mapBits);
    std::vector<std::string> pixels;
    for (int row = 0; row < p.height; ++row) {
        const int y = o.topDown ? row : p.height - 1 - row;
        for (int x = 0; x < p.width; ++x) {
            const uint32_t c = p.at(x, y);
            ByteBuilder px;
            if (o.depth == 8)
                px.u8(p.index.empty() ? plane(c, 1)
                                      : p.index[static_cast<size_t>(y) * p.width + x]);
            else
                tgaColour(px, c, o.depth);
            pixels.push_back(px.data);
        }
    }
    if (!o.rle) {
        for (const std::string& px : pixels)
            out.raw(px);
    } else {
        // One stream for the whole picture, so that packets cross row ends.
        splitRuns(
            pixels.size(), 128, [&](size_t a, size_t b) { return pixels[a] == pixels[b]; },
            [&](size_t at, size_t n) { out.u8(static_cast<uint8_t>(128 + n - 1)).raw(pixels[at]); },
            [&](size_t at, size_t n) {
                out.u8(static_cast<uint8_t>(n - 1));
                for (size_t k = 0; k < n; ++k)
                    out.raw(pixels[at + k]);
            });
    }
    if (o.footer)
        out.i32(0).i32(0).raw("TRUEVISION-XFILE").u8('.').u8(0);
    return out.data;
}

std::string writePcx(const TestPicture& p, const PcxOptions& o) {
    const int bytesPerLine = p.width + (p.width & 1) + o.extraBytesPerLine;
    ByteBuilder out;
    out.u8(10).u8(5).u8(1).u8(8); // maker, version, run-length, bits
    out.le16(0).le16(0).le16(p.width - 1).le16(p.height - 1).le16(72).le16(72).zeros(48);
    out.u8(0).u8(o.planes).le16(bytesPerLine).le16(1).zeros(58);
    for (int y = 0; y < p.height; ++y) {
        for (int k = 0; k < o.planes; ++k) {
            std::vector<uint8_t> line(static_cast<size_t>(bytesPerLine), 0);
            for (int x = 0; x < p.width; ++x)
                line[static_cast<size_t>(x)] = o.planes == 1
                                                   ? p.index[static_cast<size_t>(y) * p.width + x]
                                                   : plane(p.at(x, y), k);
            for (int x = 0; x < bytesPerLine;) {
                int run = 1;
                while (x + run < bytesPerLine && run < 63 && line[x + run] == line[x])
                    ++run;
                if (run > 1 || line[x] >= 0xC0)
                    out.u8(static_cast<uint8_t>(0xC0 | run));
                out.u8(line[x]);
                x += run;
            }
        }
    }
    if (o.planes == 1) {
        out.u8(o.paletteMarker);
        for (int i = 0; i < 256 * 3; ++i)
            out.u8(i / 3 < static_cast<int>(p.palette.size()) ? plane(p.palette[i / 3], i % 3) : 0);
    }
    return out.data;
}
