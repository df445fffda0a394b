// Levels through the compiler and the map writer, loaded back by the game's
// loader in every depth the compiler writes.
#include "gfx/GfxScreen.h"
#include "map/TileMap.h"
#include "tests/support/TempDir.h"
#include "tools/levelc/LevelCompiler.h"
#include "tools/levelc/LevelSource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Sixteen 4x4 blocks in a 16x16 sheet, every pixel a different colour.
BlockSheet generatedSheet() {
    BlockSheet sheet;
    sheet.width = sheet.height = 16;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            sheet.pixels.push_back(static_cast<uint32_t>(x * 16) << 16 |
                                   static_cast<uint32_t>(y * 16) << 8 |
                                   static_cast<uint32_t>((x * 7 + y * 11) & 0xFF));
    return sheet;
}

// Bits of a channel (0 red, 1 green, 2 blue) that a depth keeps.
int keptBits(int depth, int channel) {
    if (depth == 15)
        return 5;
    if (depth == 16)
        return channel == 1 ? 6 : 5;
    return 8;
}

// A channel of a surface pixel as 8 bits, left-aligned.
uint32_t channelOf(uint32_t pixel, uint8_t mask, uint8_t shift) {
    int width = 0;
    while (mask >> width)
        ++width;
    const uint32_t value = (pixel >> shift) & mask;
    return width >= 8 ? value >> (width - 8) : value << (8 - width);
}

} // namespace

TEST(LevelRoundTrip, EveryDepthLoadsBackWithItsCellsAndPixels) {
    LevelSource level;
    std::string error;
    ASSERT_TRUE(parseLevelSource("legend Q 15\n"
                                 "map\n"
                                 "%%%%%%%\n"
                                 "%<BB.o#\n"
                                 "%s$rtQ#\n"
                                 "#######\n",
                                 level, error))
        << error;
    const BlockSheet sheet = generatedSheet();
    const std::vector<uint8_t> palette = colourCubePalette();
    TempDir dir;
    GfxScreen screen(nullptr);
    for (int depth : {8, 15, 16, 24, 32}) {
        SCOPED_TRACE(depth);
        FmpMap compiled;
        ASSERT_TRUE(compileLevel(level, sheet, depth, compiled, error, 4)) << error;
        const std::string path = dir.file("level" + std::to_string(depth) + ".fmp");
        ASSERT_TRUE(writeFmpFile(compiled, path));

        TileMap map;
        ASSERT_EQ(map.load(&screen, path.c_str(), 0, 0, -1, -1), 0) << map.getError();
        EXPECT_EQ(map.getMapWidth(), level.width);
        EXPECT_EQ(map.getMapHeight(), level.height);
        EXPECT_EQ(map.getBlockWidth(), 4);
        EXPECT_EQ(map.getBlockHeight(), 4);
        EXPECT_EQ(map.getBlockDepth(), depth);
        EXPECT_EQ(map.getNumBlockStr(), 16);
        EXPECT_EQ(map.getNumBlockGfx(), 16);
        for (int y = 0; y < level.height; ++y)
            for (int x = 0; x < level.width; ++x)
                EXPECT_EQ(map.getBlock(x, y), level.at(x, y)) << x << "," << y;

        // The block pictures, as far as the loader has made surfaces of them.
        for (int k = 0; k < 16; ++k) {
            GfxSurface* surface = map.blockSurface(k);
            if (!surface)
                continue;
            ASSERT_EQ(surface->GetWidth(), 4);
            ASSERT_EQ(surface->GetHeight(), 4);
            ASSERT_GE(surface->Lock(), 0);
            const PixelFormatInfo& format = surface->GetPixelFormat();
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 4; ++x) {
                    const uint32_t pixel = surface->GetPixel(x, y);
                    const uint32_t got[3] = {channelOf(pixel, format.redMask, format.redShift),
                                             channelOf(pixel, format.greenMask, format.greenShift),
                                             channelOf(pixel, format.blueMask, format.blueShift)};
                    uint32_t want[3];
                    const uint32_t stored =
                        compiled.graphics[static_cast<size_t>(k)][static_cast<size_t>(y * 4 + x)];
                    if (depth == 8) {
                        for (int c = 0; c < 3; ++c)
                            want[c] = palette[stored * 3 + static_cast<uint32_t>(c)];
                    } else {
                        want[0] = (stored >> 16) & 0xFF;
                        want[1] = (stored >> 8) & 0xFF;
                        want[2] = stored & 0xFF;
                    }
                    for (int c = 0; c < 3; ++c) {
                        const uint32_t top = 0xFFu << (8 - keptBits(depth, c)) & 0xFF;
                        EXPECT_EQ(got[c] & top, want[c] & top)
                            << "block " << k << " pixel " << x << "," << y << " channel " << c;
                    }
                }
            surface->Unlock();
        }
    }
}
