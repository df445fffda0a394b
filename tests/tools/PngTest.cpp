// The icon's PNG files: checksums, the stored format, the icon and its compiled-in copy.
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

// Each stored block's last flag and length, and whether the stream holds the bytes and sum.
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

// A small file byte by byte, and stored blocks of at most 65535 bytes.
TEST(Png, FileBytesAndStoredBlocks) {
    RgbaImage image{3, 2, {0x80FF0000u, 0xFF00FF00u, 0x000000FFu, 0x01020304u, 0, 0xFFFFFFFFu}};
    // Published values; the CRC carried over two pieces; Adler sums that wrap.
    const auto* digits = reinterpret_cast<const uint8_t*>("123456789Wikipedia");
    const std::vector<uint8_t> ones(100000, 0xFF);
    char sums[80];
    std::snprintf(sums, sizeof sums, "%08X %08X %08X %08X %08X\n", pngCrc32(digits, 9),
                  pngCrc32(digits + 4, 5, pngCrc32(digits, 4)), adler32(digits + 9, 9),
                  adler32(nullptr, 0), adler32(ones.data(), ones.size()));
    std::string transcript = sums + hexLines(encodePng(image));
    for (size_t size :
         {size_t{0}, size_t{1}, size_t{65533}, size_t{65535}, size_t{65536}, size_t{230 * 1201}}) {
        std::vector<uint8_t> raw(size);
        for (size_t i = 0; i < size; ++i)
            raw[i] = static_cast<uint8_t>(i * 7 + i / 251);
        transcript += std::to_string(size) + " bytes: " + storedBlocks(zlibStored(raw), raw) + "\n";
    }
    checkGoldenText(LURVANE_GOLDEN_DIR "/png.txt", transcript);
}

// The small icon's cover (alpha / 16): a clear surround and rounded corners.
TEST(Png, IconHasATransparentSurroundAndItsWindowCopy) {
    const RgbaImage small = makeIcon(16);
    std::string cover = std::to_string(small.width) + "x" + std::to_string(small.height) + "\n";
    for (size_t i = 0; i < small.pixels.size(); ++i)
        cover += "0123456789abcdef"[small.pixels[i] >> 28] + std::string(i % 16 == 15 ? "\n" : "");
    const RgbaImage icon = makeIcon(64);
    const std::string source = windowIconSource(icon);
    int softEdge = 0;
    for (uint32_t p : icon.pixels)
        softEdge += (p >> 24) > 0 && (p >> 24) < 255;
    char tile[16];
    std::snprintf(tile, sizeof tile, "0x%08X", static_cast<unsigned>(icon.pixels[64 * 6 + 32]));
    checkGoldenText(LURVANE_GOLDEN_DIR "/icon.txt",
                    cover +
                        joined(icon.width, icon.height, icon.pixels[0] >> 24, icon.pixels[32] >> 24,
                               icon.pixels[4095] >> 24, icon.pixels[64 * 32] >> 24,
                               icon.pixels[64 * 6 + 32] >> 24, softEdge > 8, countOf(source, "0x"),
                               source.find("const int kAppIconSize = 64;") != std::string::npos,
                               source.find(tile) != std::string::npos) +
                        "\n");
}
