#include "Src/game/GameDisplay.h"

#include "Src/records/HighScoreManager.h"
#include "gfx/GfxSurface.h"

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
    EXPECT_TRUE(display.updateRank(1000, &list));
    EXPECT_TRUE(display.firstPlace());
    EXPECT_EQ(display.rankShown(), 0);
    // First place is kept for the rest of the level.
    display.allowRankSound();
    EXPECT_FALSE(display.updateRank(0, &list));
    EXPECT_TRUE(display.firstPlace());
}

namespace {

const FontRecord kHud = {"Arial", 18, 0, 700};
const FontRecord kMessage = {"Times New Roman", 25, 0, 700};

// The display drawn by the game beside the same picture drawn here by the
// rules: the strip band, then each text in a black shadow one pixel right
// and down, then in white (the time in red below 11 seconds outside a
// message); centred texts with their eight-point black outline.
class Drawing : public ::testing::Test {
protected:
    void SetUp() override {
        for (GfxSurface* s : {&drawn, &expected})
            ASSERT_EQ(s->Create(nullptr, 640, 480, 1), 0);
        auto* strip = new GfxSurface;
        ASSERT_EQ(strip->Create(nullptr, 640, 40, 1), 0);
        strip->FillArea(0, 0, 640, 20, 0x203040);
        strip->FillArea(0, 20, 640, 40, 0x405060);
        band = strip;
        display.setStrip(strip);
        display.setFonts(kHud, kMessage);
        display.resetRank();
    }
    void clear() {
        drawn.FillAll(0x102030);
        expected.FillAll(0x102030);
    }
    void text(int x, int y, uint32_t colour, const std::string& s) {
        expected.TextAt(x, y, colour, s.c_str());
    }
    void centred(int y, const std::string& s) {
        int w = 0, h = 0;
        expected.GetTextExtent(s.c_str(), w, h);
        const int x = (640 - w) / 2;
        for (const auto& [dx, dy] : std::vector<std::pair<int, int>>{
                 {-2, -2}, {2, -2}, {-1, -1}, {1, -1}, {1, 1}, {-1, 1}, {2, 2}, {-2, 2}})
            text(x + dx, y + dy, 0x000000, s);
        text(x, y, 0xFFFFFF, s);
    }
    void font(const FontRecord& f) {
        expected.SetFont(f.face, f.width, f.height, f.weight);
        expected.SelectFont();
    }
    // The two pictures agree pixel for pixel.
    void same() {
        drawn.Lock();
        expected.Lock();
        int differ = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                differ += drawn.GetPixel(x, y) != expected.GetPixel(x, y);
        drawn.Unlock();
        expected.Unlock();
        EXPECT_EQ(differ, 0);
    }

    GameDisplay display;
    GfxSurface* band = nullptr;
    GfxSurface drawn, expected;
};

} // namespace

TEST_F(Drawing, TheStripShowsItsNumbersAtTheirPlaces) {
    struct Row {
        int lives, time, items, score;
        bool message;
        std::vector<int32_t> table;
        bool red, first;
        std::string rank, next;
    };
    const std::vector<Row> rows = {
        {1, 11, 0, 95, false, {}, false, true, "", ""},
        {3, 45, 7, 120, false, {900, 500, 130}, false, false, "3", "130"},
        {2, 10, 1, 0, false, {900, 500, 130}, true, false, "3", "130"},
        {2, 10, 1, 0, true, {900, 500, 130}, false, false, "3", "130"},
    };
    // First place first: the next level's reset brings the first band back.
    for (const Row& row : rows) {
        SCOPED_TRACE(row.time);
        HighScoreList list;
        for (size_t i = 0; i < row.table.size(); ++i)
            list.entries[i].score = row.table[i];
        display.resetRank();
        display.updateRank(row.score, &list);
        clear();
        GameDisplay::StripValues v;
        v.lives = row.lives;
        v.timeLeft = row.time;
        v.itemsLeft = row.items;
        v.score = row.score;
        v.title = "Test Zone 1 / 5";
        v.messageShown = row.message;
        display.drawStrip(&drawn, v);

        const GfxRect source = {0, row.first ? 20 : 0, 640, row.first ? 40 : 20};
        band->DrawOpaque(&expected, 0, 0, &source);
        expected.GetDC();
        font(kHud);
        for (int pass = 0; pass < 2; ++pass) {
            const int dx = pass == 0 ? 1 : 0, y = pass == 0 ? 2 : 1;
            const uint32_t c = pass == 0 ? 0x000000 : 0xFFFFFF;
            text(25 + dx, y, c, std::to_string(row.lives));
            text(85 + dx, y, pass == 1 && row.red ? 0x1428FF : c, std::to_string(row.time));
            text(142 + dx, y, c, std::to_string(row.items));
            text(191 + dx, y, c, "Test Zone 1 / 5");
            text(372 + dx, y, c, std::to_string(row.score));
            if (!row.first) {
                text(506 + dx, y, c, row.rank);
                text(585 + dx, y, c, row.next);
            }
        }
        expected.ReleaseDC();
        same();
    }
}

TEST_F(Drawing, MessagesAndPauseAreCentredWithAnOutline) {
    for (const bool gameOver : {false, true}) {
        clear();
        display.drawMessage(&drawn, "Level completed!", gameOver);
        expected.GetDC();
        font(kMessage);
        centred(220, "Level completed!");
        if (gameOver) {
            centred(260, "Game Over");
            centred(300, "Press Fire To Continue");
        } else {
            centred(250, "Press Fire To Continue");
        }
        expected.ReleaseDC();
        same();
    }
    clear();
    display.drawPause(&drawn);
    expected.GetDC();
    font(kMessage);
    centred(220, "Pause");
    expected.ReleaseDC();
    same();
}

TEST_F(Drawing, TheStripKeepsItsOwnFontAfterAMessage) {
    GameDisplay::StripValues v;
    v.lives = 2;
    v.timeLeft = 30;
    v.itemsLeft = 4;
    v.score = 77;
    v.title = "Test Zone 1 / 5";
    clear();
    display.drawStrip(&expected, v);
    display.drawMessage(&drawn, "Level completed!", false);
    drawn.FillAll(0x102030);
    display.drawStrip(&drawn, v);
    same();
    display.drawStrip(nullptr, v); // nothing to draw on: nothing happens
}
