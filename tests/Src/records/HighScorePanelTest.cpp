// The high score list panel: what its four columns show for a table, and
// which line is highlighted after a new high score.
#include "Src/records/HighScorePanel.h"

#include "Src/app/GameSystems.h"
#include "Src/core/Application.h"
#include "Src/core/TextStyles.h"
#include "Src/records/HighScoreManager.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/HeadlessPlatform.h"
#include "tests/support/Golden.h"
#include "widgets/TextBox.h"
#include "widgets/TextGroup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string text(HighScorePanel& panel, int column, int line) {
    return panel.column(column).line(line).text.c_str();
}

} // namespace

TEST(HighScorePanel, ShowsRankNameScoreAndDateOfEveryLine) {
    HeadlessPlatform platform;
    platform.createWindow("Lurvane", 640, 480);
    GfxScreen screen(&platform);
    ASSERT_EQ(screen.CreateWindowed(&platform, 640, 480), 0);
    setUpTextStyles(&screen);
    HighScorePanel panel(&screen);
    ASSERT_NE(panel.group().titleBox(), nullptr);
    EXPECT_STREQ(panel.group().titleBox()->title()->text.c_str(), "High Scores");
    EXPECT_EQ(panel.group().childCount(), 4);
    EXPECT_TRUE(panel.group().columns());

    HighScoreList list;
    list.skill = 1;
    list.zone = 2;
    list.fillNew();
    ASSERT_EQ(list.insert("%s%n\nEve", 390), 1);
    list.entries[1].date = DateTime::fromCalendar(2026, 12, 7, 21, 5);
    list.entries[0].byPlayer = true;
    list.entries[0].date = DateTime::null(); // no calendar fields: -1 each

    // A highlight of another table changes nothing.
    panel.show(list, PendingHighlight{2, 0, 1});
    for (int c = 0; c < 4; ++c) {
        ASSERT_EQ(panel.column(c).lineCount(), 10);
        for (int i = 0; i < 10; ++i)
            EXPECT_FALSE(panel.column(c).line(i).highlighted);
    }
    EXPECT_EQ(text(panel, 0, 0), "01");
    EXPECT_EQ(text(panel, 0, 9), "10");
    EXPECT_EQ(text(panel, 1, 0), "----------");
    EXPECT_EQ(text(panel, 1, 1), "%s%n\nEve"); // as typed, one line
    EXPECT_EQ(text(panel, 2, 0), "000400");
    EXPECT_EQ(text(panel, 2, 1), "000390");
    EXPECT_EQ(text(panel, 2, 9), "000080");
    EXPECT_EQ(text(panel, 3, 0), "-1/-1/-001 -1:-1");
    EXPECT_EQ(text(panel, 3, 1), "12/07/2026 21:05");
    EXPECT_EQ(text(panel, 3, 2), " "); // filler

    // The new entry of this zone and skill shows in all four columns, and a
    // second showing starts from clean columns.
    panel.show(list, PendingHighlight{2, 1, 1});
    for (int c = 0; c < 4; ++c)
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(panel.column(c).line(i).highlighted, i == 1) << c << " " << i;
    list.insert("Ann", 1000);
    panel.show(list, PendingHighlight{-1, 1, 0});
    for (int c = 0; c < 4; ++c) {
        ASSERT_EQ(panel.column(c).lineCount(), 10);
        for (int i = 0; i < 10; ++i)
            EXPECT_FALSE(panel.column(c).line(i).highlighted);
    }
    EXPECT_EQ(text(panel, 1, 0), "Ann");
    EXPECT_EQ(text(panel, 1, 2), "%s%n\nEve");

    // Only a real new high score is highlighted: no zone, no line.
    list.zone = -1;
    panel.show(list, PendingHighlight{-1, 1, 0});
    EXPECT_FALSE(panel.column(0).line(0).highlighted);
}

TEST(HighScorePanel, LooksAsItShould) {
    HeadlessPlatform platform;
    platform.createWindow("Lurvane", 640, 480);
    GfxScreen screen(&platform);
    ASSERT_EQ(screen.CreateWindowed(&platform, 640, 480), 0);
    setUpTextStyles(&screen);
    HighScorePanel panel(&screen);
    HighScoreList list;
    list.zone = 3;
    list.fillNew();
    for (int i = 0; i < 3; ++i) {
        list.insert(i == 0 ? "Player %s" : "Anonymous", 10000 - 900 * i);
        list.entries[i].date = DateTime::fromCalendar(2026, 12, 7, 21, i);
    }
    panel.show(list, PendingHighlight{3, 0, 0});

    int w = 0, h = 0;
    ASSERT_TRUE(panel.group().getSize(w, h));
    ASSERT_GT(w, 0);
    ASSERT_GT(h, 0);
    // Drawn keyed, as the title screen shows it, over a colour of its own.
    GfxSurface back;
    ASSERT_EQ(back.Create(&screen, w + 4, h + 4, kSurfaceMemoryAny), 0);
    back.FillAll(screen.ConvertColor(0x402010));
    panel.group().drawKeyed(2, 2, 0, 0, &back);
    std::vector<uint32_t> frame;
    back.Lock();
    for (int y = 0; y < h + 4; ++y)
        for (int x = 0; x < w + 4; ++x)
            frame.push_back(back.GetPixel(x, y) & 0xFFFFFF);
    back.Unlock();
    checkGolden(std::string(LURVANE_TEST_GOLDEN_DIR) + "/high_score_panel.ppm", w + 4, h + 4,
                frame);
}
