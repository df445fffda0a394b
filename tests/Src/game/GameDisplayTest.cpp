#include "Src/game/GameDisplay.h"

#include "Src/records/HighScoreManager.h"
#include "gfx/GfxSurface.h"
#include "tests/support/Golden.h"
#include "tests/support/SurfacePixels.h"

#include <gtest/gtest.h>

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

TEST(GameDisplay, RankCountsTheEntriesAheadAndSoundsOncePerFrame) {
    const HighScoreList list = table({900, 800, 700, 600, 500, 400, 300, 200, 100, 50});
    GameDisplay display;
    display.resetRank();
    // An empty table is led from the first frame, the first place band shown.
    const HighScoreList empty;
    EXPECT_FALSE(display.updateRank(0, &empty));
    EXPECT_TRUE(display.firstPlace());
    EXPECT_EQ(display.rankShown(), 0);
    EXPECT_EQ(display.stripSource().top, 20);
    EXPECT_EQ(display.stripSource().bottom, 40);
    display.resetRank();
    // Below all ten: rank 10, the lowest entry's score to beat.
    EXPECT_FALSE(display.updateRank(10, &list));
    EXPECT_EQ(display.rankShown(), 10);
    EXPECT_EQ(display.nextRankScore(), 50);
    EXPECT_FALSE(display.firstPlace());
    // Nothing changes while the next score is not reached; reaching it
    // passes that entry.
    EXPECT_FALSE(display.updateRank(49, &list));
    EXPECT_EQ(display.rankShown(), 10);
    EXPECT_TRUE(display.updateRank(50, &list));
    EXPECT_EQ(display.rankShown(), 9);
    EXPECT_EQ(display.nextRankScore(), 100);

    // Passing two entries in one frame: one sound.
    display.allowRankSound();
    EXPECT_TRUE(display.updateRank(150, &list));
    EXPECT_EQ(display.rankShown(), 8);
    EXPECT_EQ(display.nextRankScore(), 200);
    EXPECT_FALSE(display.updateRank(250, &list)); // no allowance left this frame
    EXPECT_EQ(display.rankShown(), 7);
    display.allowRankSound();
    EXPECT_TRUE(display.updateRank(850, &list)); // one entry ahead: it is the next
    EXPECT_EQ(display.rankShown(), 1);
    EXPECT_EQ(display.nextRankScore(), 900);
    display.allowRankSound();
    EXPECT_TRUE(display.updateRank(1000, &list));
    EXPECT_TRUE(display.firstPlace());
    EXPECT_EQ(display.rankShown(), 0);
    // First place is kept for the rest of the level.
    display.allowRankSound();
    EXPECT_FALSE(display.updateRank(0, &list));
    EXPECT_TRUE(display.firstPlace());
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
