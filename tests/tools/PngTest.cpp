// The icon's PNG files: checksums against published values, the bytes of
// the stored format, and the icon's transparent surround and its
// compiled-in copy.
#include "tools/artgen/Png.h"
#include "lib/ByteOrder.h"
#include "tests/support/Golden.h"
#include "tests/support/LineTranscript.h"
#include "tests/support/TempDir.h"
#include "tools/artgen/ArtPainters.h"
#include "tools/artgen/ArtSet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The stored blocks of a zlib stream, each its length and whether it is
// the last, and whether the stream holds the raw bytes with their sum.
std::string storedBlocks(const std::vector<uint8_t>& zlib, const std::vector<uint8_t>& raw) {
    std::string out = std::to_string(zlib[0] * 256 + zlib[1]) + ":";
    std::vector<uint8_t> data;
    size_t p = 2;
    for (bool last = false; !last && p + 5 <= zlib.size();) {
        last = zlib[p] & 1;
        const uint16_t n = readLE16(&zlib[p + 1]);
        out += " " + std::to_string(zlib[p]) + "/" + std::to_string(n) +
               (static_cast<uint16_t>(~readLE16(&zlib[p + 3])) == n ? "" : "/bad complement");
        data.insert(data.end(), zlib.begin() + static_cast<long>(p) + 5,
                    zlib.begin() + static_cast<long>(std::min(p + 5 + n, zlib.size())));
        p += 5 + n;
    }
    const bool summed =
        p + 4 == zlib.size() && readBE32(&zlib[p]) == adler32(raw.data(), raw.size());
    return out + (data == raw ? " holds the bytes" : " OTHER BYTES") + (summed ? " summed" : "");
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

// A small file byte by byte (signature, header, data and end chunks with
// their CRCs; rows of filter 0 in R, G, B, A order), and the stored blocks
// of larger data: at most 65535 bytes each, the last one marked.
TEST(Png, FileBytesAndStoredBlocks) {
    RgbaImage image{3, 2, {0x80FF0000u, 0xFF00FF00u, 0x000000FFu, 0x01020304u, 0, 0xFFFFFFFFu}};
    std::string transcript = hexLines(encodePng(image));
    for (size_t size :
         {size_t{0}, size_t{1}, size_t{65533}, size_t{65535}, size_t{65536}, size_t{230 * 1201}}) {
        std::vector<uint8_t> raw(size);
        for (size_t i = 0; i < size; ++i)
            raw[i] = static_cast<uint8_t>(i * 7 + i / 251);
        transcript += std::to_string(size) + " bytes: " + storedBlocks(zlibStored(raw), raw) + "\n";
    }
    checkGoldenText(LURVANE_GOLDEN_DIR "/png.txt", transcript);
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
