#include "tests/gfx/ImageFiles.h"

#include "lib/ByteOrder.h"

#include <cstdio>
#include <cstring>
#include <sstream>

#include <jpeglib.h>

namespace {

class Bytes {
public:
    void u8(int v) { data_.push_back(static_cast<char>(v)); }
    void le16(int v) {
        uint8_t b[2];
        writeLE16(b, static_cast<uint16_t>(v));
        raw(b, 2);
    }
    void le32(uint32_t v) {
        uint8_t b[4];
        writeLE32(b, v);
        raw(b, 4);
    }
    void be16(int v) {
        uint8_t b[2];
        writeBE16(b, static_cast<uint16_t>(v));
        raw(b, 2);
    }
    void be32(uint32_t v) {
        uint8_t b[4];
        writeBE32(b, v);
        raw(b, 4);
    }
    void text(const char* s) { data_ += s; }
    void raw(const void* p, size_t n) { data_.append(static_cast<const char*>(p), n); }
    void zeros(size_t n) { data_.append(n, '\0'); }
    void patchLE32(size_t at, uint32_t v) {
        uint8_t b[4];
        writeLE32(b, v);
        std::memcpy(&data_[at], b, 4);
    }
    size_t size() const { return data_.size(); }
    std::string& str() { return data_; }

private:
    std::string data_;
};

uint8_t red(uint32_t c) {
    return static_cast<uint8_t>(c >> 16);
}
uint8_t green(uint32_t c) {
    return static_cast<uint8_t>(c >> 8);
}
uint8_t blue(uint32_t c) {
    return static_cast<uint8_t>(c);
}

// Run-length 8-bit rows: runs, literal stretches of three or more, and an
// end-of-line after each row, an end-of-bitmap at the end.
void encodeRle8Row(Bytes& out, const uint8_t* row, int width) {
    int x = 0;
    while (x < width) {
        int run = 1;
        while (x + run < width && run < 255 && row[x + run] == row[x])
            ++run;
        if (run >= 2) {
            out.u8(run);
            out.u8(row[x]);
            x += run;
            continue;
        }
        int literal = 1;
        while (x + literal < width && literal < 255 &&
               !(x + literal + 1 < width && row[x + literal] == row[x + literal + 1]))
            ++literal;
        if (literal < 3) {
            for (int i = 0; i < literal; ++i) {
                out.u8(1);
                out.u8(row[x + i]);
            }
        } else {
            out.u8(0);
            out.u8(literal);
            out.raw(row + x, static_cast<size_t>(literal));
            if (literal & 1)
                out.u8(0);
        }
        x += literal;
    }
    out.u8(0);
    out.u8(0);
}

// Packed bits: n < 128 then n + 1 literals; 257 - n repeats.
std::string packBits(const uint8_t* data, int count) {
    std::string out;
    int i = 0;
    while (i < count) {
        int run = 1;
        while (i + run < count && run < 128 && data[i + run] == data[i])
            ++run;
        if (run >= 2) {
            out += static_cast<char>(257 - run);
            out += static_cast<char>(data[i]);
            i += run;
            continue;
        }
        int literal = 1;
        while (i + literal < count && literal < 128 &&
               !(i + literal + 1 < count && data[i + literal] == data[i + literal + 1]))
            ++literal;
        out += static_cast<char>(literal - 1);
        out.append(reinterpret_cast<const char*>(data + i), static_cast<size_t>(literal));
        i += literal;
    }
    return out;
}

} // namespace

TestPicture makePicture(int width, int height, int colours) {
    TestPicture p;
    p.width = width;
    p.height = height;
    if (colours > 0) {
        for (int i = 0; i < colours; ++i) {
            const uint32_t r = static_cast<uint32_t>((i * 97 + 13) & 0xFF);
            const uint32_t g = static_cast<uint32_t>((i * 57 + 200) & 0xFF);
            const uint32_t b = static_cast<uint32_t>((i * 151 + 71) & 0xFF);
            p.palette.push_back((r << 16) | (g << 8) | b);
        }
    }
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
    const bool indexed = o.bits <= 8;
    const int paletteSize = indexed ? static_cast<int>(p.palette.size()) : 0;
    const int rowSize = ((o.bits * p.width + 31) / 32) * 4;
    Bytes pixels;
    for (int row = 0; row < p.height; ++row) {
        // Bottom-up unless a top-down file is asked for.
        const int y = o.topDown ? row : p.height - 1 - row;
        std::vector<uint8_t> line(static_cast<size_t>(rowSize), 0);
        for (int x = 0; x < p.width; ++x) {
            const uint32_t c = p.at(x, y);
            switch (o.bits) {
            case 1:
            case 4: {
                const int perByte = 8 / o.bits;
                const int shift = 8 - o.bits * (x % perByte + 1);
                line[static_cast<size_t>(x / perByte)] |=
                    static_cast<uint8_t>(p.index[static_cast<size_t>(y) * p.width + x] << shift);
                break;
            }
            case 8:
                line[static_cast<size_t>(x)] = p.index[static_cast<size_t>(y) * p.width + x];
                break;
            case 16: {
                const int v = ((red(c) >> 3) << 10) | ((green(c) >> 3) << 5) | (blue(c) >> 3);
                writeLE16(&line[static_cast<size_t>(x) * 2], static_cast<uint16_t>(v));
                break;
            }
            default: {
                const size_t at = static_cast<size_t>(x) * static_cast<size_t>(o.bits / 8);
                line[at] = blue(c);
                line[at + 1] = green(c);
                line[at + 2] = red(c);
                break;
            }
            }
        }
        if (o.rle8)
            encodeRle8Row(pixels, line.data(), p.width);
        else
            pixels.raw(line.data(), line.size());
    }
    if (o.rle8) {
        // The last end-of-line becomes the end of the bitmap.
        pixels.str()[pixels.size() - 1] = 1;
    }

    const uint32_t offset = 14 + 40 + static_cast<uint32_t>(paletteSize) * 4;
    Bytes out;
    out.text("BM");
    out.le32(offset + static_cast<uint32_t>(pixels.size()));
    out.le32(0);
    out.le32(offset);
    out.le32(40);
    out.le32(static_cast<uint32_t>(p.width));
    out.le32(static_cast<uint32_t>(o.topDown ? -p.height : p.height));
    out.le16(1);
    out.le16(o.bits);
    out.le32(o.rle8 ? 1 : 0);
    out.le32(static_cast<uint32_t>(pixels.size()));
    out.le32(2835);
    out.le32(2835);
    out.le32(o.coloursUsed ? o.coloursUsed : static_cast<uint32_t>(paletteSize));
    out.le32(0);
    for (int i = 0; i < paletteSize; ++i) {
        const uint32_t c = p.palette[static_cast<size_t>(i)];
        out.u8(blue(c));
        out.u8(green(c));
        out.u8(red(c));
        out.u8(0);
    }
    out.raw(pixels.str().data(), pixels.size());
    return out.str();
}

std::string writePsd(const TestPicture& p, const PsdOptions& o) {
    Bytes out;
    out.text("8BPS");
    out.be16(1);
    out.zeros(6);
    out.be16(o.channels);
    out.be32(static_cast<uint32_t>(p.height));
    out.be32(static_cast<uint32_t>(p.width));
    out.be16(o.depth);
    out.be16(o.mode);
    out.be32(0); // colour mode data
    out.be32(4); // image resources: four bytes we do not read
    out.text("8BIM");
    out.be32(0); // layer and mask information
    out.be16(o.rle ? 1 : 0);

    auto channelValue = [&](int c, int x, int y) -> uint8_t {
        const uint32_t colour = p.at(x, y);
        switch (c) {
        case 0:
            return red(colour);
        case 1:
            return green(colour);
        case 2:
            return blue(colour);
        default:
            return static_cast<uint8_t>(x * 16 + y); // alpha and extra channels
        }
    };
    if (!o.rle) {
        for (int c = 0; c < o.channels; ++c)
            for (int y = 0; y < p.height; ++y)
                for (int x = 0; x < p.width; ++x)
                    out.u8(channelValue(c, x, y));
        return out.str();
    }
    std::vector<std::string> rows;
    for (int c = 0; c < o.channels; ++c) {
        for (int y = 0; y < p.height; ++y) {
            std::vector<uint8_t> line;
            for (int x = 0; x < p.width; ++x)
                line.push_back(channelValue(c, x, y));
            rows.push_back(packBits(line.data(), p.width));
        }
    }
    for (const std::string& row : rows)
        out.be16(static_cast<int>(row.size()));
    for (const std::string& row : rows)
        out.raw(row.data(), row.size());
    return out.str();
}

std::string writeTga(const TestPicture& p, const TgaOptions& o) {
    const bool mapped = o.depth == 8 && !p.palette.empty();
    const int mapLength = mapped ? static_cast<int>(p.palette.size()) : 0;
    Bytes out;
    out.u8(3); // id length
    out.u8(mapped ? 1 : 0);
    const int baseType = o.depth == 8 ? (mapped ? 1 : 3) : 2;
    out.u8(o.rle ? baseType + 8 : baseType);
    out.le16(o.mapFirst);
    out.le16(mapLength);
    out.u8(mapped ? 24 : 0);
    out.le16(0);
    out.le16(0);
    out.le16(p.width);
    out.le16(p.height);
    out.u8(o.depth);
    out.u8((o.topDown ? 0x20 : 0) | (o.depth == 32 ? 8 : 0));
    out.text("id!");
    for (int i = 0; i < mapLength; ++i) {
        const uint32_t c = p.palette[static_cast<size_t>(i)];
        out.u8(blue(c));
        out.u8(green(c));
        out.u8(red(c));
    }
    std::vector<std::string> pixels;
    for (int row = 0; row < p.height; ++row) {
        const int y = o.topDown ? row : p.height - 1 - row;
        for (int x = 0; x < p.width; ++x) {
            const uint32_t c = p.at(x, y);
            Bytes px;
            switch (o.depth) {
            case 8:
                px.u8(p.index.empty() ? green(c) : p.index[static_cast<size_t>(y) * p.width + x]);
                break;
            case 16:
                px.le16(((red(c) >> 3) << 10) | ((green(c) >> 3) << 5) | (blue(c) >> 3));
                break;
            default:
                px.u8(blue(c));
                px.u8(green(c));
                px.u8(red(c));
                if (o.depth == 32)
                    px.u8(0x80);
                break;
            }
            pixels.push_back(px.str());
        }
    }
    if (!o.rle) {
        for (const std::string& px : pixels)
            out.raw(px.data(), px.size());
    } else {
        // One stream for the whole picture, so that packets cross row ends.
        size_t i = 0;
        while (i < pixels.size()) {
            size_t run = 1;
            while (i + run < pixels.size() && run < 128 && pixels[i + run] == pixels[i])
                ++run;
            if (run >= 2) {
                out.u8(static_cast<int>(128 + run - 1));
                out.raw(pixels[i].data(), pixels[i].size());
                i += run;
                continue;
            }
            size_t literal = 1;
            while (i + literal < pixels.size() && literal < 128 &&
                   !(i + literal + 1 < pixels.size() &&
                     pixels[i + literal] == pixels[i + literal + 1]))
                ++literal;
            out.u8(static_cast<int>(literal - 1));
            for (size_t k = 0; k < literal; ++k)
                out.raw(pixels[i + k].data(), pixels[i + k].size());
            i += literal;
        }
    }
    if (o.footer) {
        out.le32(0);
        out.le32(0);
        out.text("TRUEVISION-XFILE");
        out.u8('.');
        out.u8(0);
    }
    return out.str();
}

std::string writePcx(const TestPicture& p, const PcxOptions& o) {
    const int bytesPerLine = p.width + (p.width & 1) + o.extraBytesPerLine;
    Bytes out;
    out.u8(10);
    out.u8(5);
    out.u8(1);
    out.u8(8);
    out.le16(0);
    out.le16(0);
    out.le16(p.width - 1);
    out.le16(p.height - 1);
    out.le16(72);
    out.le16(72);
    out.zeros(48);
    out.u8(0);
    out.u8(o.planes);
    out.le16(bytesPerLine);
    out.le16(1);
    out.zeros(58);
    for (int y = 0; y < p.height; ++y) {
        for (int plane = 0; plane < o.planes; ++plane) {
            std::vector<uint8_t> line(static_cast<size_t>(bytesPerLine), 0);
            for (int x = 0; x < p.width; ++x) {
                const uint32_t c = p.at(x, y);
                line[static_cast<size_t>(x)] = o.planes == 1
                                                   ? p.index[static_cast<size_t>(y) * p.width + x]
                                                   : (plane == 0   ? red(c)
                                                      : plane == 1 ? green(c)
                                                                   : blue(c));
            }
            for (int x = 0; x < bytesPerLine;) {
                int run = 1;
                while (x + run < bytesPerLine && run < 63 && line[x + run] == line[x])
                    ++run;
                if (run > 1 || line[x] >= 0xC0)
                    out.u8(0xC0 | run);
                out.u8(line[x]);
                x += run;
            }
        }
    }
    if (o.planes == 1) {
        out.u8(o.paletteMarker);
        for (int i = 0; i < 256; ++i) {
            const uint32_t c = i < static_cast<int>(p.palette.size()) ? p.palette[i] : 0;
            out.u8(red(c));
            out.u8(green(c));
            out.u8(blue(c));
        }
    }
    return out.str();
}

std::string writeJpeg(const TestPicture& p, int quality) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(p.width);
    info.image_height = static_cast<JDIMENSION>(p.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    // Full-resolution colour, so that sharp colour edges survive.
    info.comp_info[0].h_samp_factor = info.comp_info[0].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> line(static_cast<size_t>(p.width) * 3);
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < p.width; ++x) {
            const uint32_t c = p.at(x, y);
            line[static_cast<size_t>(x) * 3] = red(c);
            line[static_cast<size_t>(x) * 3 + 1] = green(c);
            line[static_cast<size_t>(x) * 3 + 2] = blue(c);
        }
        JSAMPROW row = line.data();
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string bytes(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return bytes;
}
