#include "tools/levelc/LevelSource.h"
#include "tools/levelc/LevelCompiler.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

LevelSource parsed(const std::string& text) {
    LevelSource level;
    std::string error;
    EXPECT_TRUE(parseLevelSource(text, level, error)) << error;
    return level;
}

std::string playError(const std::string& text) {
    std::string error;
    return checkLevelPlayable(parsed(text), error) ? "" : error;
}

} // namespace

TEST(LevelSource, ParsesTheGridWithTheDefaultAndOwnLegend) {
    const LevelSource level = parsed("; a level\n"
                                     "legend Q 17\n"
                                     "\n"
                                     "map\r\n"
                                     "#####\r\n"
                                     "#>Bo#\r\n"
                                     "#sQt#\r\n"
                                     "#####\r\n");
    EXPECT_EQ(level.width, 5);
    EXPECT_EQ(level.height, 4);
    EXPECT_EQ(level.at(0, 0), 3);
    EXPECT_EQ(level.at(1, 1), 7);
    EXPECT_EQ(level.at(2, 1), 5);
    EXPECT_EQ(level.at(3, 1), 2);
    EXPECT_EQ(level.at(1, 2), 10);
    EXPECT_EQ(level.at(2, 2), 17);
    EXPECT_EQ(level.at(3, 2), 13);
    EXPECT_EQ(parsed("map\n #%.oB^>v<sr$tACR\n").cells,
              (std::vector<int16_t>{0, 3, 4, 1, 2, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 31}));
    EXPECT_EQ(defaultLegend('S'), -1);
}

TEST(LevelSource, RejectsMalformedSources) {
    LevelSource level;
    std::string error;
    EXPECT_FALSE(parseLevelSource("legend QQ 3\nmap\n#\n", level, error));
    EXPECT_EQ(error, "line 1: expected 'legend C N'");
    EXPECT_FALSE(parseLevelSource("size 3\nmap\n#\n", level, error));
    EXPECT_FALSE(parseLevelSource("; nothing\n", level, error));
    EXPECT_EQ(error, "no map");
    EXPECT_FALSE(parseLevelSource("map\n###\n##\n", level, error));
    EXPECT_EQ(error, "map row 2 has 2 cells, the first has 3");
    EXPECT_FALSE(parseLevelSource("map\n#?#\n", level, error));
    EXPECT_EQ(error, "map row 1: no block for '?'");
    // Legend blocks run from 0 to 1023, maps up to 4096 cells each way.
    const std::string row(4096, '#'), column = [] {
        std::string rows;
        for (int i = 0; i < 4096; ++i)
            rows += "#\n";
        return rows;
    }();
    const struct {
        std::string text;
        const char* error; // empty: parsed
    } cases[] = {
        {"legend Q 0\nmap\nQ\n", ""},
        {"legend Q 1023\nmap\nQ\n", ""},
        {"legend Q 1024\nmap\nQ\n", "line 1: expected 'legend C N'"},
        {"legend Q -1\nmap\nQ\n", "line 1: expected 'legend C N'"},
        {"map\n" + row + "\n", ""},
        {"map\n" + row + "#\n", "map size out of range"},
        {"map\n" + column, ""},
        {"map\n" + column + "#\n", "map size out of range"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 20));
        EXPECT_EQ(parseLevelSource(c.text, level, error), *c.error == 0);
        if (*c.error) {
            EXPECT_EQ(error, c.error);
        }
    }
}

TEST(LevelSource, PlayableLevelsHaveOneTracedSnakeReachableFoodAndClosedEdges) {
    EXPECT_EQ(playError("map\n#######\n#BB>.o#\n#######\n"), "");
    EXPECT_EQ(playError("map\n#######\n#.BB.o#\n#######\n"), "no snake head");
    EXPECT_EQ(playError("map\n#######\n#<>..o#\n#######\n"), "more than one snake head");
    EXPECT_EQ(playError("map\n#######\n#<..Bo#\n#######\n"),
              "a snake body block is not part of the snake");
    EXPECT_EQ(playError("map\n#######\n#<BB#o#\n#######\n"),
              "food at column 5, row 1 cannot be reached");
    EXPECT_EQ(playError("map\n#######\n#BB>to#\n#######\n"), ""); // items are passable
    // A snake on the border is traced, and then the open edge is the fault.
    EXPECT_EQ(playError("map\n#BB>o#\n######\n"), "the map's top or bottom edge is open");
    EXPECT_EQ(playError("map\n#B###\n#v.o#\n#...#\n#####\n"),
              "the map's top or bottom edge is open");
    EXPECT_EQ(playError("map\n####\nBv.#\n#.o#\n####\n"), "the map's left or right edge is open");
    EXPECT_EQ(playError("map\n###o#\n#BB>#\n#####\n"), "the map's top or bottom edge is open");
    EXPECT_EQ(playError("map\n#######\n#<BB..#\n#######\n"), "no food");
    EXPECT_EQ(playError("map\n#######\n#<BB.o.\n#######\n"),
              "the map's left or right edge is open");
    // A body that bends around a corner is traced.
    EXPECT_EQ(playError("map\n######\n#vB.o#\n#.B..#\n######\n"), "");
    // The head must survive the first step: go on, or turn by itself to one
    // free side (a floor or item block the body does not hold).
    const struct {
        const char* map;
        bool dies;
    } heads[] = {
        {"#####\n#o..#\n#<BB#\n#####\n", false},               // a wall ahead, above free
        {"#####\n#.%%#\n#t<B#\n#%%o#\n#####\n", false},        // a stopwatch ahead
        {"#####\n#.s.#\n#%^%#\n#.B.#\n#o..#\n#####\n", false}, // a potion ahead
        {"#####\n#%#.#\n#%^%#\n#.B.#\n#o..#\n#####\n", true},  // walls ahead and beside
        {"#####\n#%%%#\n#B>o#\n#%%%#\n#####\n", false},        // food ahead
        {"#####\n#%B.#\n#%v%#\n#o.%#\n#####\n", false},        // floor ahead
        {"#####\n#.$%#\n#%vB#\n#.Ao#\n#####\n", true},         // walls and its body
        {"#####\n#..o#\n#.>%#\n#.BB#\n#####\n", false},        // its body below, above free
    };
    for (const auto& h : heads) {
        const std::string error = playError(std::string("map\n") + h.map);
        EXPECT_EQ(error.find("faces a wall or its own body") != std::string::npos, h.dies) << h.map;
    }
    EXPECT_EQ(playError("map\n######\n#..>B#\n#.oBB#\n######\n"),
              "the snake head at column 3, row 1 faces a wall or its own body with no way to turn");
}

TEST(LevelCompiler, BuildsBlocksFromTheSheetInEveryDepth) {
    const LevelSource level = parsed("map\n###\n#.#\n###\n");
    // Sixteen 4x4 blocks in a 16x16 sheet, every pixel a different colour.
    BlockSheet sheet;
    sheet.width = sheet.height = 16;
    for (uint32_t y = 0; y < 16; ++y)
        for (uint32_t x = 0; x < 16; ++x)
            sheet.pixels.push_back(x * 16 << 16 | y * 16 << 8 | ((x * 7 + y * 11) & 0xFF));
    const std::vector<uint8_t> cube = colourCubePalette();
    EXPECT_EQ(std::vector<uint8_t>(cube.begin() + 0x1C * 3, cube.begin() + 0x1D * 3),
              (std::vector<uint8_t>{0, 255, 0}));
    EXPECT_EQ(std::vector<uint8_t>(cube.end() - 3, cube.end()),
              (std::vector<uint8_t>{255, 255, 255}));
    for (int depth : {8, 15, 16, 24, 32}) {
        SCOPED_TRACE(depth);
        FmpMap map;
        std::string error;
        ASSERT_TRUE(compileLevel(level, sheet, depth, map, error, 4)) << error;
        EXPECT_EQ(map.blockDepth, depth);
        EXPECT_EQ(map.blockWidth, 4);
        EXPECT_EQ(map.blockHeight, 4);
        EXPECT_EQ(map.layers[0], level.cells);
        ASSERT_EQ(map.graphics.size(), 16u);
        EXPECT_EQ(map.blocks[13].graphics[0], 13 * map.graphicSize());
        EXPECT_EQ(map.colourMap, depth == 8 ? cube : std::vector<uint8_t>());
        // Block k is cell k of the sheet, row by row; an 8-bit pixel is the
        // cube entry nearest in every channel.
        int wrong = 0;
        for (int k = 0; k < 16; ++k)
            for (int i = 0; i < 16; ++i) {
                const uint32_t rgb =
                    sheet.pixels[static_cast<size_t>((k / 4 * 4 + i / 4) * 16 + k % 4 * 4 + i % 4)];
                const uint32_t got = map.graphics[static_cast<size_t>(k)][static_cast<size_t>(i)];
                if (depth != 8) {
                    wrong += got != rgb;
                    continue;
                }
                // Half a step of the channel's levels, and one for the
                // palette's rounding down.
                for (int c = 0; c < 3; ++c) {
                    const int want = static_cast<int>(rgb >> (16 - 8 * c) & 0xFF);
                    const int off = std::abs(cube[got % 256 * 3 + c] - want) - 1;
                    wrong += got > 255 || off * (c == 2 ? 3 : 7) > 128;
                }
            }
        EXPECT_EQ(wrong, 0);
    }
    LevelSource far = level;
    far.cells[4] = 16; // beyond the sixteen blocks
    FmpMap map;
    std::string error;
    EXPECT_FALSE(compileLevel(far, sheet, 16, map, error, 4));
    EXPECT_EQ(error, "block 16 is not on the sheet of 16 blocks");
    EXPECT_FALSE(compileLevel(level, sheet, 12, map, error));
    EXPECT_EQ(error, "depth must be 8, 15, 16, 24 or 32");
    sheet.pixels.pop_back();
    EXPECT_FALSE(compileLevel(level, sheet, 16, map, error, 4));
    EXPECT_EQ(error, "the block sheet holds no blocks");
}
