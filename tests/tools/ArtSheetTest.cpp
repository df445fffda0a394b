// The painted pictures' sizes and the content rules the game relies on; the
// game's golden frames hold the look of the pictures they show.
#include "tests/support/Golden.h"
#include "tests/support/LineTranscript.h"
#include "tests/tools/BmpReader.h"
#include "tools/artgen/ArtPainters.h"
#include "tools/artgen/ArtSet.h"
#include "tools/artgen/ZoneThemes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

namespace {

// The colours of the 20x20 cell whose top left corner is at (left, top).
std::vector<uint32_t> cellAt(const ReadBmp& bmp, int left, int top) {
    std::vector<uint32_t> out;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            out.push_back(bmp.at(left + x, top + y).colorRef());
    return out;
}

// The pixels of the 20x20 cell at (left, top) that are not the key.
int countNot(const ReadBmp& bmp, int left, int top, Rgb key) {
    const std::vector<uint32_t> cell = cellAt(bmp, left, top);
    return static_cast<int>(
        std::count_if(cell.begin(), cell.end(), [&](uint32_t c) { return c != key.colorRef(); }));
}

// Keyed corners, drawn middles, shrinking growth stages, swelling bulges, mouths apart.
std::string snakeSheet(const ReadBmp& sheet, Rgb key) {
    int keyed = 0, filled = 0, mouths = 0;
    for (int cy = 0; cy < 4; ++cy)
        for (int cx = 0; cx < 5; ++cx) {
            keyed +=
                sheet.at(cx * 20, cy * 20) == key && sheet.at(cx * 20 + 19, cy * 20 + 19) == key;
            filled += sheet.at(cx * 20 + 10, cy * 20 + 10) != key;
        }
    std::string out =
        "keyed=" + std::to_string(keyed) + " filled=" + std::to_string(filled) + " stages";
    for (int stage = 0; stage < 4; ++stage)
        out += " " + std::to_string(countNot(sheet, 0, 20 * stage, key));
    out += " bulges";
    for (int frame = 0; frame < 4; ++frame)
        out += countNot(sheet, 20 + 20 * frame, 40, key) >=
                       countNot(sheet, frame ? 20 * frame : 0, frame ? 40 : 0, key)
                   ? " swell"
                   : " SHRINK";
    for (int x = 20; x < 100; x += 20)
        mouths += cellAt(sheet, x, 0) != cellAt(sheet, x, 20) &&
                  cellAt(sheet, x, 0) != cellAt(sheet, x, 60) &&
                  cellAt(sheet, x, 20) != cellAt(sheet, x, 60);
    return out + " mouths apart=" + std::to_string(mouths);
}

// The snake's start blocks turn into floor and look like it; the rest differ.
std::string blockSheet(const ReadBmp& sheet) {
    const auto cell = [&](int block) { return cellAt(sheet, block % 16 * 20, block / 16 * 20); };
    int likeFloor = 0;
    for (int block = 5; block <= 9; ++block)
        likeFloor += cell(block) == cell(1);
    std::set<std::vector<uint32_t>> distinct;
    for (int block = 0; block < 32; ++block)
        if (block < 5 || block > 9)
            distinct.insert(cell(block));
    return "start blocks like floor=" + std::to_string(likeFloor) +
           " distinct of 27=" + std::to_string(distinct.size());
}

} // namespace

TEST(ArtSet, PicturesHaveTheirSizesAndKeepTheirRules) {
    std::map<std::string, ReadBmp> art;
    for (const ArtFile& file : generateArt())
        art[(file.isBlockSheet ? "art/" : "Gfx/") + file.path] = readBmp(file.bytes);
    LineTranscript t;
    for (const auto& [name, bmp] : art)
        t.note(name, bmp.ok, bmp.width, bmp.height, bmp.bitsPerPixel);

    // The display strip's two bands differ: the second marks first place.
    const ReadBmp& strip = art["Gfx/score.bmp"];
    int differing = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 640; ++x)
            differing += strip.at(x, y) != strip.at(x, y + 20);
    t.note("score bands differ in more than half", differing > 640 * 10);
    // The high score stamp shows only its shape over the key.
    const ReadBmp& stamp = art["Gfx/GoodScore.bmp"];
    const int w = stamp.width, h = stamp.height;
    t.note("stamp keyed corners, drawn middle",
           stamp.at(0, 0) == kGoodScoreKey && stamp.at(w - 1, 0) == kGoodScoreKey &&
               stamp.at(0, h - 1) == kGoodScoreKey && stamp.at(w - 1, h - 1) == kGoodScoreKey,
           stamp.at(w / 2, h / 2) != kGoodScoreKey);

    t.note("Gfx/items.bmp", snakeSheet(art["Gfx/items.bmp"], Rgb{0, 0, 0}));
    std::set<std::vector<uint32_t>> floors;
    for (const ZoneTheme& zone : zoneThemes()) {
        const std::string snake = std::string("Gfx/snake_") + zone.directory + ".bmp";
        t.note(snake, snakeSheet(art[snake], zone.background));
        const ReadBmp& blocks = art[std::string("art/") + zone.directory + "/blocks.bmp"];
        t.note(zone.directory + std::string(" blocks"), blockSheet(blocks));
        floors.insert(cellAt(blocks, 20, 0));
    }
    t.note("zones with a floor of their own", floors.size(), "of", zoneThemes().size());

    // The screen palette keeps the fixed colours and every zone's background.
    const ReadBmp& palette = art["Gfx/items20.bmp"];
    std::set<uint32_t> entries;
    for (const Rgb& c : palette.palette)
        entries.insert(c.colorRef());
    int fixed = 0;
    for (Rgb c : {Rgb{0, 0, 0}, Rgb{255, 255, 255}, Rgb{255, 40, 20}, kGoodScoreKey})
        fixed += entries.count(c.colorRef()) > 0;
    for (const ZoneTheme& zone : zoneThemes())
        fixed += entries.count(zone.background.colorRef()) > 0;
    t.note("palette entries, distinct above 240, first, fixed colours present, first pixel",
           palette.palette.size(), entries.size() > 240, palette.palette.at(0).colorRef(), fixed,
           palette.at(0, 0).colorRef());
    checkGoldenText(LURVANE_GOLDEN_DIR "/art.txt", t.text());
}
