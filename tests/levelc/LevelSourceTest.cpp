#include "tools/levelc/LevelSource.h"
#include "tools/levelc/LevelCompiler.h"

#include <gtest/gtest.h>

#include <string>

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
    EXPECT_EQ(defaultLegend('A'), 14);
    EXPECT_EQ(defaultLegend('R'), 31);
    EXPECT_EQ(defaultLegend('B'), 5);
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
}

TEST(LevelSource, PlayableLevelsHaveOneTracedSnakeReachableFoodAndClosedEdges) {
    EXPECT_EQ(playError("map\n#######\n#BB>.o#\n#######\n"), "");
    EXPECT_EQ(playError("map\n#######\n#.BB.o#\n#######\n"), "no snake head");
    EXPECT_EQ(playError("map\n#######\n#<>..o#\n#######\n"), "more than one snake head");
    EXPECT_EQ(playError("map\n#######\n#<..Bo#\n#######\n"),
              "a snake body block is not part of the snake");
    EXPECT_EQ(playError("map\n#######\n#<BB#o#\n#######\n"),
              "food at column 5, row 1 cannot be reached");
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
        {"#####\n#.s.#\n#t<B#\n#.#o#\n#####\n", false},        // a stopwatch ahead
        {"#####\n#.s.#\n#%^.#\n#.B.#\n#o..#\n#####\n", false}, // a potion ahead
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
    BlockSheet sheet;
    sheet.width = 80;
    sheet.height = 20; // four 20x20 blocks
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 80; ++x)
            sheet.pixels.push_back(x < 20 ? 0xFF0000u : x < 40 ? 0x00FF00u : 0x0000FFu);
    for (int depth : {8, 15, 16, 24, 32}) {
        FmpMap map;
        std::string error;
        ASSERT_TRUE(compileLevel(level, sheet, depth, map, error)) << error;
        EXPECT_EQ(map.blockDepth, depth);
        ASSERT_EQ(map.graphics.size(), 4u);
        EXPECT_EQ(map.blocks[3].graphics[0], 3 * map.graphicSize());
        EXPECT_EQ(map.colourMap.empty(), depth != 8);
        EXPECT_EQ(map.graphics[1][0], depth == 8 ? 0x1Cu : 0x00FF00u); // green in the cube
    }
    LevelSource far = level;
    far.cells[4] = 9; // beyond the four blocks
    FmpMap map;
    std::string error;
    EXPECT_FALSE(compileLevel(far, sheet, 16, map, error));
    EXPECT_EQ(error, "block 9 is not on the sheet of 4 blocks");
    EXPECT_FALSE(compileLevel(level, sheet, 12, map, error));
}
