#include "tools/artgen/Bitmap.h"

#include "tests/support/TempDir.h"
#include "tests/tools/BmpReader.h"

#include <gtest/gtest.h>

#include <string>

TEST(Bitmap, TrueColourRoundTripWithPaddedRows) {
    // Width 5 at 24 bits needs 15 bytes a row, padded to 16.
    RgbImage image(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            image.at(x, y) = Rgb{static_cast<uint8_t>(40 * x), static_cast<uint8_t>(90 * y),
                                 static_cast<uint8_t>(7 + x + y)};
    const std::vector<uint8_t> bytes = encodeBmp24(image);
    const ReadBmp back = readBmp(bytes);
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(bmpRowSize(5, 24), 16);
    EXPECT_EQ(back.fileSize, bytes.size());
    EXPECT_EQ(back.dataOffset, 54u);
    EXPECT_EQ(back.infoSize, 40u);
    EXPECT_EQ(back.width, 5);
    EXPECT_EQ(back.height, 3); // positive: stored bottom-up
    EXPECT_EQ(back.planes, 1);
    EXPECT_EQ(back.bitsPerPixel, 24);
    EXPECT_EQ(back.compression, 0u);
    EXPECT_EQ(back.imageSize, 48u);
    EXPECT_EQ(bytes.size(), 54u + 48u);
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
    const ReadBmp back = readBmp(bytes);
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.bitsPerPixel, 8);
    EXPECT_EQ(back.coloursUsed, 256u);
    EXPECT_EQ(back.dataOffset, 54u + 1024u);
    EXPECT_EQ(back.imageSize, 8u); // rows of 3 bytes padded to 4
    EXPECT_EQ(back.fileSize, bytes.size());
    EXPECT_EQ(back.palette, image.palette);
    EXPECT_EQ(back.indices, image.pixels);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(bytes[54 + 4 * i + 3], 0) << "reserved byte of entry " << i;
}

TEST(Bitmap, WritesFilesWholeAndReportsFailure) {
    TempDir dir;
    const std::vector<uint8_t> bytes = encodeBmp24(RgbImage(2, 2, Rgb{1, 2, 3}));
    ASSERT_TRUE(writeFileBytes(dir.file("a.bmp"), bytes));
    const std::string disk = readFile(dir.file("a.bmp"));
    EXPECT_EQ(std::vector<uint8_t>(disk.begin(), disk.end()), bytes);
    EXPECT_FALSE(writeFileBytes(dir.file("missing/a.bmp"), bytes));
}
