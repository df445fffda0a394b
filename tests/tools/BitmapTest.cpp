#include "tools/artgen/Bitmap.h"

#include "tests/support/Golden.h"
#include "tests/support/LineTranscript.h"
#include "tests/tools/BmpReader.h"

#include <gtest/gtest.h>

#include <string>

// Headers, padded bottom-up rows, a full palette; the game reads both back.
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
    // A palette of more than 256 colours keeps to its table: the padding stays zero.
    std::vector<Rgb> many = indexed.palette;
    many.push_back(Rgb{9, 9, 9});
    const std::vector<uint8_t> narrow = encodeBmp8(IndexedImage{1, 1, {5}, many});
    checkGoldenText(LURVANE_GOLDEN_DIR "/bitmaps.txt",
                    hexLines(trueColour) + "indexed:\n" + hexLines(bytes, 0, 62) + "...\n" +
                        hexLines(bytes, 1078) + hexLines(narrow, 1078));
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
