#include "tools/artgen/Bitmap.h"

#include "tests/support/ByteBuilder.h"
#include "tests/support/TempDir.h"
#include "tests/tools/BmpReader.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Both headers as a reader expects them: bottom-up rows, no compression,
// 72 dots per inch.
std::string bmpHeaders(int width, int height, int bits, int entries, int imageSize) {
    const int offset = 54 + 4 * entries;
    ByteBuilder b;
    b.raw("BM");
    // Planes (1) and bits per pixel share one word.
    for (int32_t field : {offset + imageSize, 0, offset, 40, width, height, bits << 16 | 1, 0,
                          imageSize, 2835, 2835, entries, 0})
        b.i32(field);
    return b.data;
}

std::string headOf(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.begin() + 54);
}

} // namespace

TEST(Bitmap, TrueColourRoundTripWithPaddedRows) {
    // Width 5 at 24 bits needs 15 bytes a row, padded to 16.
    RgbImage image(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            image.at(x, y) = Rgb{static_cast<uint8_t>(40 * x), static_cast<uint8_t>(90 * y),
                                 static_cast<uint8_t>(7 + x + y)};
    const std::vector<uint8_t> bytes = encodeBmp24(image);
    EXPECT_EQ(headOf(bytes), bmpHeaders(5, 3, 24, 0, 48));
    ASSERT_EQ(bytes.size(), 54u + 48u);
    const ReadBmp back = readBmp(bytes);
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.image.pixels, image.pixels);
    // The first stored row is the bottom one, blue first; padding is zero.
    EXPECT_EQ(bytes[54], image.at(0, 2).b);
    EXPECT_EQ(bytes[56], image.at(0, 2).r);
    EXPECT_EQ(bytes[54 + 15], 0);
}

TEST(Bitmap, IndexedRoundTripCarriesAFullPalette) {
    IndexedImage image;
    image.width = 3;
    image.height = 2;
    image.pixels = {0, 1, 255, 7, 7, 128};
    for (int i = 0; i < 256; ++i)
        image.palette.push_back(Rgb{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                                    static_cast<uint8_t>(i * 3)});
    const std::vector<uint8_t> bytes = encodeBmp8(image);
    // Rows of 3 bytes padded to 4.
    EXPECT_EQ(headOf(bytes), bmpHeaders(3, 2, 8, 256, 8));
    const ReadBmp back = readBmp(bytes);
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.palette, image.palette);
    EXPECT_EQ(back.indices, image.pixels);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(bytes[54 + 4 * i + 3], 0) << "reserved byte of entry " << i;
}

TEST(Bitmap, PasteCopiesTheSourceOnly) {
    RgbImage target(4, 4, Rgb{9, 9, 9});
    RgbImage source(2, 2, Rgb{1, 2, 3});
    source.at(1, 1) = Rgb{4, 5, 6};
    target.paste(source, 1, 1);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool inside = x >= 1 && x <= 2 && y >= 1 && y <= 2;
            const Rgb want = x == 2 && y == 2 ? Rgb{4, 5, 6} : inside ? Rgb{1, 2, 3} : Rgb{9, 9, 9};
            EXPECT_EQ(target.at(x, y), want) << x << "," << y;
        }
}

TEST(Bitmap, WritesFilesWholeAndReportsFailure) {
    TempDir dir;
    const std::vector<uint8_t> bytes = encodeBmp24(RgbImage(2, 2, Rgb{1, 2, 3}));
    ASSERT_TRUE(writeFileBytes(dir.file("a.bmp"), bytes));
    const std::string disk = readFile(dir.file("a.bmp"));
    EXPECT_EQ(std::vector<uint8_t>(disk.begin(), disk.end()), bytes);
    EXPECT_FALSE(writeFileBytes(dir.file("missing/a.bmp"), bytes));
}
