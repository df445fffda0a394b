// The icon's PNG files: checksums against published values, a round trip
// through a reader of the stored format, and the icon's transparent
// surround and its compiled-in copy.
#include "tools/artgen/Png.h"
#include "lib/ByteOrder.h"
#include "tests/support/TempDir.h"
#include "tools/artgen/ArtPainters.h"
#include "tools/artgen/ArtSet.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

struct ReadPng {
    bool ok = false;
    std::string error;
    int width = 0, height = 0;
    int storedBlocks = 0;
    std::vector<uint32_t> pixels;
};

// Red, green, blue and alpha bytes as 0xAARRGGBB.
uint32_t argbOf(const uint8_t* q) {
    return (uint32_t{q[3]} << 24) | (uint32_t{q[0]} << 16) | (uint32_t{q[1]} << 8) | q[2];
}

// Reads what encodePng writes: chunks with their CRCs, IHDR for 8-bit
// RGBA, and an IDAT of stored deflate blocks with rows of filter 0.
ReadPng readPng(const std::vector<uint8_t>& bytes) {
    ReadPng out;
    auto failed = [&](const std::string& what) {
        out.error = what;
        return out;
    };
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() < 8 || std::memcmp(bytes.data(), signature, 8) != 0)
        return failed("signature");
    std::vector<uint8_t> zlib;
    bool ended = false;
    size_t at = 8;
    while (at + 12 <= bytes.size() && !ended) {
        const uint32_t length = readBE32(&bytes[at]);
        const std::string type(reinterpret_cast<const char*>(&bytes[at + 4]), 4);
        if (at + 12 + length > bytes.size())
            return failed("chunk past the end");
        const uint8_t* data = &bytes[at + 8];
        if (pngCrc32(&bytes[at + 4], 4 + length) != readBE32(data + length))
            return failed("crc of " + type);
        if (type == "IHDR") {
            out.width = static_cast<int>(readBE32(data));
            out.height = static_cast<int>(readBE32(data + 4));
            if (length != 13 || data[8] != 8 || data[9] != 6 || data[10] || data[11] || data[12])
                return failed("header");
        } else if (type == "IDAT") {
            zlib.insert(zlib.end(), data, data + length);
        } else if (type == "IEND") {
            ended = at + 12 + length == bytes.size();
        }
        at += 12 + length;
    }
    if (!ended || zlib.size() < 6 || zlib[0] != 0x78 || (zlib[0] * 256 + zlib[1]) % 31 != 0)
        return failed("stream");
    std::vector<uint8_t> raw;
    size_t p = 2;
    bool last = false;
    while (!last) {
        if (p + 5 > zlib.size() || (zlib[p] & 6) != 0)
            return failed("block");
        last = zlib[p] & 1;
        const uint16_t n = readLE16(&zlib[p + 1]);
        if (static_cast<uint16_t>(~readLE16(&zlib[p + 3])) != n || p + 5 + n > zlib.size())
            return failed("block length");
        raw.insert(raw.end(), zlib.begin() + p + 5, zlib.begin() + p + 5 + n);
        p += 5 + n;
        ++out.storedBlocks;
    }
    if (p + 4 != zlib.size() || readBE32(&zlib[p]) != adler32(raw.data(), raw.size()))
        return failed("adler");
    const size_t row = 1 + 4 * static_cast<size_t>(out.width);
    if (raw.size() != row * out.height)
        return failed("size");
    for (int y = 0; y < out.height; ++y) {
        const uint8_t* r = &raw[y * row];
        if (r[0] != 0)
            return failed("filter");
        for (int x = 0; x < out.width; ++x)
            out.pixels.push_back(argbOf(r + 1 + 4 * x));
    }
    out.ok = true;
    return out;
}

RgbaImage testPattern(int width, int height) {
    RgbaImage image;
    image.width = width;
    image.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.pixels.push_back((uint32_t((x * 7 + y) & 255) << 24) | (uint32_t(x & 255) << 16) |
                                   (uint32_t(y & 255) << 8) | uint32_t((x ^ y) & 255));
    return image;
}

} // namespace

TEST(Png, ChecksumsMatchPublishedValues) {
    const std::string digits = "123456789";
    const auto* d = reinterpret_cast<const uint8_t*>(digits.data());
    EXPECT_EQ(pngCrc32(d, digits.size()), 0xCBF43926u);
    // The CRC carries on over pieces.
    EXPECT_EQ(pngCrc32(d + 4, 5, pngCrc32(d, 4)), 0xCBF43926u);
    const std::string word = "Wikipedia";
    EXPECT_EQ(adler32(reinterpret_cast<const uint8_t*>(word.data()), word.size()), 0x11E60398u);
    EXPECT_EQ(adler32(nullptr, 0), 1u);
    // Large enough for both sums to wrap at 65521.
    const std::vector<uint8_t> ones(100000, 0xFF);
    EXPECT_EQ(adler32(ones.data(), ones.size()), 0x149A302Cu);
}

TEST(Png, RoundTripOverSeveralStoredBlocks) {
    struct Case {
        int width, height, blocks;
    };
    // 1201-byte rows: 230 of them need five 65535-byte blocks; a row of
    // 16383 pixels fills one block to 65533 bytes, one more pixel needs two.
    for (const Case c :
         {Case{300, 230, 5}, Case{1, 1, 1}, Case{3, 2, 1}, Case{16383, 1, 1}, Case{16384, 1, 2}}) {
        const RgbaImage image = testPattern(c.width, c.height);
        const ReadPng back = readPng(encodePng(image));
        ASSERT_TRUE(back.ok) << back.error << " at " << c.width << "x" << c.height;
        EXPECT_EQ(back.width, c.width);
        EXPECT_EQ(back.height, c.height);
        EXPECT_EQ(back.storedBlocks, c.blocks) << c.width << "x" << c.height;
        EXPECT_EQ(back.pixels, image.pixels);
    }
}

TEST(Png, IconHasATransparentSurroundAndEveryThemeSize) {
    // Other sizes are the same design (the install test checks that every
    // theme size is there).
    for (int size : {64, 16}) {
        SCOPED_TRACE(size);
        const RgbaImage icon = makeIcon(size);
        ASSERT_EQ(icon.width, size);
        ASSERT_EQ(icon.pixels.size(), static_cast<size_t>(size * size));
        auto alpha = [&](int x, int y) { return icon.pixels[y * size + x] >> 24; };
        EXPECT_EQ(alpha(0, 0), 0u);
        EXPECT_EQ(alpha(size - 1, size - 1), 0u);
        EXPECT_EQ(alpha(size / 2, (size * 6 + 32) / 64), 255u); // the tile
        // Above and beside it: clear, or half clear where a pixel is
        // partly covered by the tile's edge.
        EXPECT_LE(alpha(size / 2, 0), size == 64 ? 0u : 128u);
        EXPECT_LE(alpha(0, size / 2), size == 64 ? 0u : 128u);
    }
    const RgbaImage icon = makeIcon(64);
    int softEdge = 0; // the rounded corners
    for (uint32_t p : icon.pixels)
        softEdge += (p >> 24) > 0 && (p >> 24) < 255;
    EXPECT_GT(softEdge, 8);
    // The window's copy holds the 64x64 picture word for word.
    const std::string source = windowIconSource(icon);
    EXPECT_NE(source.find("const int kAppIconSize = 64;"), std::string::npos);
    EXPECT_EQ(countOf(source, "0x"), static_cast<int>(icon.pixels.size()));
    char first[16];
    std::snprintf(first, sizeof first, "0x%08X", static_cast<unsigned>(icon.pixels[64 * 6 + 32]));
    EXPECT_NE(source.find(first), std::string::npos);
}
