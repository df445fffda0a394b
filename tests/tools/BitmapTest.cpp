#include "tools/artgen/Bitmap.h"

#include "tests/support/Golden.h"
#include "tests/support/LineTranscript.h"
#include "tests/support/TempDir.h"
#include "tests/tools/BmpReader.h"

#include <gtest/gtest.h>

#include <string>

// Both headers (bottom-up rows, no compression, 72 dots per inch), rows
// padded to four bytes, blue first, the first stored row the bottom one;
// an indexed picture with its full palette. The game reads both back.
TEST(Bitmap, FilesInTheirByteLayoutRoundTrip) {
    RgbImage image(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            image.at(x, y) = Rgb{static_cast<uint8_t>(40 * x), static_cast<uint8_t>(90 * y),
                                 static_cast<uint8_t>(7 + x + y)};
    const std::vector<uint8_t> trueColour = encodeBmp24(image);
    IndexedImage indexed;
    indexed.width = 3;
    indexed.height = 2;
    indexed.pixels = {0, 1, 255, 7, 7, 128};
    for (int i = 0; i < 256; ++i)
        indexed.palette.push_back(Rgb{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                                      static_cast<uint8_t>(i * 3)});
    const std::vector<uint8_t> bytes = encodeBmp8(indexed);
    checkGoldenText(LURVANE_GOLDEN_DIR "/bitmaps.txt",
                    hexLines(trueColour, 0, trueColour.size()) + "indexed:\n" +
                        hexLines(bytes, 0, 62) + "...\n" + hexLines(bytes, 1078, bytes.size()));
    ASSERT_EQ(bytes.size(), 54u + 1024u + 8u);
    int reserved = 0;
    for (int i = 0; i < 256; ++i)
        reserved += bytes[54 + 4 * i + 3];
    EXPECT_EQ(reserved, 0);
    const ReadBmp back = readBmp(bytes), backTrue = readBmp(trueColour);
    EXPECT_EQ(back.palette, indexed.palette);
    EXPECT_EQ(back.indices, indexed.pixels);
    EXPECT_EQ(backTrue.image.pixels, image.pixels);
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
