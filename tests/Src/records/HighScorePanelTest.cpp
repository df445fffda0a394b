#include "Src/records/HighScorePanel.h"

#include "Src/app/GameSystems.h"
#include "Src/core/Application.h"
#include "Src/core/TextStyles.h"
#include "Src/records/HighScoreManager.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/HeadlessPlatform.h"
#include "tests/support/Golden.h"
#include "tests/support/SurfacePixels.h"
#include "widgets/TextBox.h"
#include "widgets/TextGroup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The four columns line by line, "!" before a highlighted line.
std::string columnsText(HighScorePanel& panel) {
    std::string text;
    for (int i = 0; i < panel.column(0).lineCount(); ++i) {
        for (int c = 0; c < 4; ++c) {
            const auto& line = panel.column(c).line(i);
            std::string shown = line.text.c_str();
            if (const size_t at = shown.find('\n'); at != std::string::npos)
                shown.replace(at, 1, "\\n");
            text += std::string(c ? " | " : "") + (line.highlighted ? "!" : "") + shown;
        }
        text += "\n";
    }
    return text;
}

} // namespace

TEST(HighScorePanel, ShowsRankNameScoreAndDateOfEveryLineAndLooksAsItShould) {
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
    ASSERT_EQ(list.insert("%s%n\nEve", 390), 1); // shown as typed, one line
    list.entries[1].date = DateTime::fromCalendar(2026, 12, 7, 21, 5);
    list.entries[0].byPlayer = true;
    list.entries[0].date = DateTime::null(); // no calendar fields: -1 each
    // Only the new entry of this zone and skill is highlighted.
    const struct {
        PendingHighlight highlight;
        const char* insert;
        int32_t zone;
    } showings[] = {{{2, 0, 1}, nullptr, 2},
                    {{2, 1, 1}, nullptr, 2},
                    {{-1, 1, 0}, "Ann", 2},
                    {{-1, 1, 0}, nullptr, -1},
                    {{2, 1, 0}, nullptr, 2}};
    std::string transcript;
    for (const auto& s : showings) {
        if (s.insert) {
            list.insert(s.insert, 1000);
            list.entries[0].date = DateTime::fromCalendar(2026, 12, 8, 9, 30);
        }
        list.zone = s.zone;
        panel.show(list, s.highlight);
        transcript += columnsText(panel) + "\n";
    }
    checkGoldenText(std::string(LURVANE_TEST_GOLDEN_DIR) + "/high_score_panel.txt", transcript);

    list.zone = 2;
    panel.show(list, PendingHighlight{2, 1, 2});
    int w = 0, h = 0;
    ASSERT_TRUE(panel.group().getSize(w, h));
    // Drawn keyed, as the title screen shows it, over a colour of its own.
    GfxSurface back;
    ASSERT_EQ(back.Create(&screen, w + 4, h + 4, kSurfaceMemoryAny), 0);
    back.FillAll(screen.ConvertColor(0x402010));
    panel.group().drawKeyed(2, 2, 0, 0, &back);
    std::vector<uint32_t> frame = pixelsOf(back);
    for (uint32_t& pixel : frame)
        pixel &= 0xFFFFFF;
    checkGolden(std::string(LURVANE_TEST_GOLDEN_DIR) + "/high_score_panel.ppm", w + 4, h + 4,
                frame);
}
