#include "GameDisplay.h"

#include "HighScoreManager.h"

#include <gtest/gtest.h>

namespace {

HighScoreList table(std::initializer_list<int32_t> scores) {
    HighScoreList list;
    int i = 0;
    for (int32_t s : scores)
        list.entries[i++].score = s;
    return list;
}

} // namespace

TEST(GameDisplay, AnEmptyTableIsLedFromTheFirstFrame) {
    GameDisplay display;
    display.resetRank();
    const HighScoreList empty;
    EXPECT_FALSE(display.updateRank(0, &empty));
    EXPECT_TRUE(display.firstPlace());
    EXPECT_EQ(display.rankShown(), 0);
    EXPECT_EQ(display.stripSource().top, 20);
    EXPECT_EQ(display.stripSource().bottom, 40);
}

TEST(GameDisplay, RankCountsTheEntriesAheadAndSoundsOncePerFrame) {
    const HighScoreList list = table({900, 800, 700, 600, 500, 400, 300, 200, 100, 50});
    GameDisplay display;
    display.resetRank();
    // Below all ten: rank 10, the lowest entry's score to beat.
    EXPECT_FALSE(display.updateRank(10, &list));
    EXPECT_EQ(display.rankShown(), 10);
    EXPECT_EQ(display.nextRankScore(), 50);
    EXPECT_FALSE(display.firstPlace());
    // Nothing changes while the next score is not reached.
    EXPECT_FALSE(display.updateRank(49, &list));
    EXPECT_EQ(display.rankShown(), 10);

    // Passing two entries in one frame: one sound.
    display.allowRankSound();
    EXPECT_TRUE(display.updateRank(150, &list));
    EXPECT_EQ(display.rankShown(), 8);
    EXPECT_EQ(display.nextRankScore(), 200);
    EXPECT_FALSE(display.updateRank(250, &list)); // no allowance left this frame
    EXPECT_EQ(display.rankShown(), 7);
    display.allowRankSound();
    EXPECT_TRUE(display.updateRank(1000, &list));
    EXPECT_TRUE(display.firstPlace());
    EXPECT_EQ(display.rankShown(), 0);
    // First place is kept for the rest of the level.
    display.allowRankSound();
    EXPECT_FALSE(display.updateRank(0, &list));
    EXPECT_TRUE(display.firstPlace());
}
