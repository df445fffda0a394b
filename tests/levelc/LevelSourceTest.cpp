#include "tools/levelc/LevelSource.h"
#include "tests/support/Golden.h"
#include "tests/support/LineTranscript.h"
#include "tools/levelc/LevelCompiler.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A map of rows split by '/'.
std::string rows(std::string text) {
    for (char& c : text)
        if (c == '/')
            c = '\n';
    return "map\n" + text + "\n";
}

// The parsed grid and the playability verdict, or the parser's error.
std::string described(const std::string& text) {
    LevelSource level;
    std::string error;
    if (!parseLevelSource(text, level, error))
        return "error: " + error;
    std::string out = std::to_string(level.width) + "x" + std::to_string(level.height);
    if (level.cells.size() <= 40)
        for (int16_t cell : level.cells)
            out += " " + std::to_string(cell);
    return out + " | " + (checkLevelPlayable(level, error) ? "playable" : error);
}

} // namespace

// Each source with a note of what it shows, then its grid and verdict.
TEST(LevelSource, SourcesParseAndAreJudgedPlayable) {
    const std::string row(4096, '#');
    std::string column;
    for (int i = 0; i < 4096; ++i)
        column += "#\n";
    const std::pair<const char*, std::string> cases[] = {
        {"own legend, blank and comment lines, CRLF rows",
         "; a level\nlegend Q 17\n\nmap\r\n#####\r\n#>Bo#\r\n#sQt#\r\n#####\r\n"},
        {"the default legend", "map\n #%.oB^>v<sr$tACR\n"},
        {"no legend for S", rows("S")},
        {"legend of two characters", "legend QQ 3\nmap\n#\n"},
        {"unknown line", "size 3\nmap\n#\n"},
        {"comments only", "; nothing\n"},
        {"rows of different lengths", rows("###/##")},
        {"lowest legend block", "legend Q 0\nmap\nQ\n"},
        {"highest legend block", "legend Q 1023\nmap\nQ\n"},
        {"legend block too high", "legend Q 1024\nmap\nQ\n"},
        {"legend block negative", "legend Q -1\nmap\nQ\n"},
        {"widest map", "map\n" + row + "\n"},
        {"too wide", "map\n" + row + "#\n"},
        {"tallest map", "map\n" + column},
        {"too tall", "map\n" + column + "#\n"},
        {"snake traced from its tail", rows("#######/#BB>.o#/#######")},
        {"no head", rows("#######/#.BB.o#/#######")},
        {"two heads", rows("#######/#<>..o#/#######")},
        {"a body apart", rows("#######/#<..Bo#/#######")},
        {"food behind a wall", rows("#######/#<BB#o#/#######")},
        {"items are passable", rows("#######/#BB>to#/#######")},
        {"snake on the top border", rows("#BB>o#/######")},
        {"body in the top border", rows("#B###/#v.o#/#...#/#####")},
        {"body in the left border", rows("####/Bv.#/#.o#/####")},
        {"food in the top border", rows("###o#/#BB>#/#####")},
        {"no food", rows("#######/#<BB..#/#######")},
        {"a head alone", rows("#####/#>.o#/#####")},
        {"floor in the top left corner", rows(".#####/#BB>o#/######")},
        {"floor in the right border", rows("#######/#<BB.o./#######")},
        {"a body round a corner", rows("######/#vB.o#/#.B..#/######")},
        {"wall ahead, free above", rows("#####/#o..#/#<BB#/#####")},
        {"stopwatch ahead", rows("#####/#.%%#/#t<B#/#%%o#/#####")},
        {"potion ahead", rows("#####/#.s.#/#%^%#/#.B.#/#o..#/#####")},
        {"walls ahead and beside", rows("#####/#%#.#/#%^%#/#.B.#/#o..#/#####")},
        {"food ahead", rows("#####/#%%%#/#B>o#/#%%%#/#####")},
        {"floor ahead", rows("#####/#%B.#/#%v%#/#o.%#/#####")},
        {"walls and its body", rows("#####/#.$%#/#%vB#/#.Ao#/#####")},
        {"its body below, free above", rows("#####/#..o#/#.>%#/#.BB#/#####")},
        {"body ahead and below", rows("######/#..>B#/#.oBB#/######")},
    };
    std::string transcript;
    for (const auto& [what, text] : cases)
        transcript += std::string(what) + ": " + described(text) + "\n";
    checkGoldenText(LURVANE_GOLDEN_DIR "/level-sources.txt", transcript);
}

TEST(LevelCompiler, BuildsBlocksFromTheSheetInEveryDepth) {
    LevelSource level;
    std::string error;
    ASSERT_TRUE(parseLevelSource(rows("###/#.#/###"), level, error));
    // Sixteen 4x4 blocks in a 16x16 sheet, every pixel a different colour.
    BlockSheet sheet;
    sheet.width = sheet.height = 16;
    for (uint32_t y = 0; y < 16; ++y)
        for (uint32_t x = 0; x < 16; ++x)
            sheet.pixels.push_back(x * 16 << 16 | y * 16 << 8 | ((x * 7 + y * 11) & 0xFF));
    const std::vector<uint8_t> cube = colourCubePalette();
    LineTranscript t;
    t.note("cube of " + std::to_string(cube.size() / 3) + ", entry 0x1C, the last",
           joined(int{cube[84]}, int{cube[85]}, int{cube[86]}),
           joined(int{cube[765]}, int{cube[766]}, int{cube[767]}));
    // Block k is sheet cell k; an 8-bit pixel is the nearest cube entry (half a level, plus one).
    for (int depth : {8, 15, 16, 24, 32, 12}) {
        FmpMap map;
        if (!compileLevel(level, sheet, depth, map, error, 4)) {
            t.note("depth " + std::to_string(depth), error);
            continue;
        }
        int wrong = 0;
        for (int k = 0; k < 16; ++k)
            for (int i = 0; i < 16; ++i) {
                const uint32_t rgb =
                    sheet.pixels[static_cast<size_t>((k / 4 * 4 + i / 4) * 16 + k % 4 * 4 + i % 4)];
                const uint32_t got = map.graphics[static_cast<size_t>(k)][static_cast<size_t>(i)];
                for (int c = 0; c < 3 && depth == 8; ++c) {
                    const int want = static_cast<int>(rgb >> (16 - 8 * c) & 0xFF);
                    const int off = std::abs(cube[got % 256 * 3 + c] - want) - 1;
                    wrong += got > 255 || off * (c == 2 ? 3 : 7) > 128;
                }
                wrong += depth != 8 && got != rgb;
            }
        t.note("depth " + std::to_string(depth), map.blockDepth, map.blockWidth, map.blockHeight,
               map.graphics.size(), map.blocks[13].graphics[0] == 13 * map.graphicSize(),
               map.layers[0] == level.cells, map.colourMap == cube, map.colourMap.empty(), wrong);
    }
    LevelSource far = level;
    far.cells[4] = 16; // beyond the sixteen blocks
    FmpMap map;
    t.note("block 16", compileLevel(far, sheet, 16, map, error, 4), error);
    t.note("blocks larger than the sheet", compileLevel(level, sheet, 16, map, error, 17), error);
    sheet.pixels.pop_back();
    t.note("a sheet short of a pixel", compileLevel(level, sheet, 16, map, error, 4), error);
    checkGoldenText(LURVANE_GOLDEN_DIR "/level-compiler.txt", t.text());
}
