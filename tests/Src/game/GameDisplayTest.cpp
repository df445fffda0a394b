#include "Src/game/GameDisplay.h"

#include "Src/records/HighScoreManager.h"
#include "gfx/GfxSurface.h"
#include "tests/support/Golden.h"
#include "tests/support/SurfacePixels.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

HighScoreList table(std::initializer_list<int32_t> scores) {
    HighScoreList list;
    int i = 0;
    for (int32_t s : scores)
        list.entries[i++].score = s;
    return list;
}

} // namespace

// Scores one after the other against a table of ten (from 900 down to 50),
// or an empty one (e): the rank shown, the score to beat next, first place,
// the strip band and whether a rank sound is due; "allow" starts a frame's
// allowance of one sound.
TEST(GameDisplay, RankCountsTheEntriesAheadAndSoundsOncePerFrame) {
    const HighScoreList list = table({900, 800, 700, 600, 500, 400, 300, 200, 100, 50}), empty;
    GameDisplay display;
    std::string out;
    std::istringstream script("reset e0 reset 10 49 50 allow 150 250 allow 850 allow 1000 allow 0");
    for (std::string op; script >> op;) {
        if (op == "reset")
            display.resetRank();
        else if (op == "allow")
            display.allowRankSound();
        else {
            const bool sound = op[0] == 'e' ? display.updateRank(std::stoi(op.substr(1)), &empty)
                                            : display.updateRank(std::stoi(op), &list);
            out += op + ": rank=" + std::to_string(display.rankShown()) +
                   " next=" + std::to_string(display.nextRankScore()) +
                   " first=" + std::to_string(display.firstPlace()) +
                   " band=" + std::to_string(display.stripSource().top) + "-" +
                   std::to_string(display.stripSource().bottom) +
                   " sound=" + std::to_string(sound) + "\n";
        }
    }
    checkGoldenText(LURVANE_TEST_GOLDEN_DIR "/game_rank.txt", out);
}

// The strip in four states (first place; behind three entries; the time
// red below 11 seconds; not red while a message shows), the two messages,
// the pause and the strip once more after them, each band below the other
// in one reference picture.
TEST(GameDisplay, TheStripMessagesAndPauseLookAsTheyShould) {
    GameDisplay display;
    auto* strip = new GfxSurface;
    ASSERT_EQ(strip->Create(nullptr, 640, 40, 1), 0);
    strip->FillArea(0, 0, 640, 20, 0x203040);
    strip->FillArea(0, 20, 640, 40, 0x405060);
    display.setStrip(strip);
    display.setFonts({"Arial", 18, 0, 700}, {"Times New Roman", 25, 0, 700});
    GfxSurface target;
    ASSERT_EQ(target.Create(nullptr, 640, 480, 1), 0);
    std::vector<uint32_t> picture;
    auto keep = [&](int top, int height) {
        for (uint32_t pixel : pixelsOf(target, 0, top, 640, height))
            picture.push_back(pixel & 0xFFFFFF);
        target.FillAll(0x102030);
    };
    target.FillAll(0x102030);
    const struct {
        int lives, time, items, score;
        bool message;
        std::initializer_list<int32_t> table;
    } rows[] = {
        {1, 11, 0, 95, false, {}},
        {3, 45, 7, 120, false, {900, 500, 130}},
        {2, 10, 1, 0, false, {900, 500, 130}},
        {2, 10, 1, 0, true, {900, 500, 130}},
    };
    for (const auto& row : rows) {
        const HighScoreList list = table(row.table);
        display.resetRank();
        display.updateRank(row.score, &list);
        display.drawStrip(
            &target, {row.lives, row.time, row.items, row.score, "Test Zone 1 / 5", row.message});
        keep(0, 20);
    }
    display.drawMessage(&target, "Level completed!", false);
    keep(215, 120);
    display.drawMessage(&target, "Level completed!", true);
    keep(215, 120);
    display.drawPause(&target);
    keep(215, 120);
    // The strip keeps its own font after the message's.
    display.drawStrip(&target, {2, 30, 4, 77, "Test Zone 1 / 5", false});
    keep(0, 20);
    display.drawStrip(nullptr, {}); // nothing to draw on: nothing happens
    checkGolden(std::string(LURVANE_TEST_GOLDEN_DIR) + "/game_display.ppm", 640, 5 * 20 + 3 * 120,
                picture);
}
