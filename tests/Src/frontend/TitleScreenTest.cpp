// The title screen through the real frame loop on scripted keys.
#include "Src/frontend/TextPageScreen.h"
#include "Src/frontend/TitleContent.h"
#include "Src/frontend/WelcomeScroller.h"
#include "tests/support/Golden.h"
#include "tests/support/GoldenFrame.h"
#include "tests/support/TitleScreenFixture.h"

#include "widgets/TextGroup.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>

using TitleScreenTest = TitleScreenFixture;

namespace {

int widthOf(GfxSurface* surface, const String& text) {
    int width = 0, height = 0;
    surface->GetDC();
    surface->SelectFont();
    surface->GetTextExtent(text.c_str(), width, height);
    surface->ReleaseDC();
    return width;
}

} // namespace

// Each scenario is named after the rule it shows.
TEST_F(TitleScreenTest, Scenarios) {
    frontEnd("Start leaves to play", "5 enter");
    frontEnd("escape leaves", "5 esc");
    frontEnd("Quit, up from the top, ends the program", "5 up enter");
    frontEnd("Quit, down to it, ends the program", "5 down*6 enter");
    frontEnd("a click beside the menu loops again, at 50 frames a second", "5 click:20,400 30 esc");
    highScoreManager->getList(kSkillHard, 0)->insert("Hardy", 5000);
    highScoreManager->getList(kSkillNormal, 0)->insert("Norma", 4000);
    setInfoPanel(1);
    frontEnd("the skill entry cycles and the high score panel follows",
             "5 down down enter enter enter enter esc");
    out << "tables kept " << std::filesystem::exists("Data/highscores.dat") << "\n";
    currentZone = 2;
    highScoreManager->getList(currentSkill, 2)->insert("Gemma", 99999);
    setInfoPanel(1);
    frontEnd("the reload key finds new zones once a press, clamps the zone and keeps the panel",
             "10 drop:Data/Levels/Gamma 20 +l 30 -l 40 zone:Delta 50 l 70 esc");
    out << "zones " << levelCatalogue.getZoneCount() << ", third " << levelCatalogue.getZoneName(2)
        << "\n";
    frontEnd("a failed reload ends the front end", "10 broken:Broken 20 l");
    std::filesystem::remove_all(dir.file("Data/Levels/Broken"));
    app.quitPosted = false;
    frontEnd("menu sounds play with the title music off, a move up too", "music:off 5 up esc");
    frontEnd("menu sounds play with the title music off", "music:off 5 down down enter esc");
    frontEnd("the title music plays instead and stops as the front end is left",
             "music:on 5 down down enter esc");
    std::filesystem::remove(dir.file("Data/Gfx/title.bmp"));
    frontEnd("a missing title picture ends the front end with its message", "5 esc");
    checkGoldenText(LURVANE_TEST_GOLDEN_DIR "/title_screen.txt", out.str());
}

// The scroller slides two pixels a frame and renders again exactly when its
// first piece has slid past (also when the head's width is even, where
// sliding past and reaching its end are one frame apart); near the end the
// pieces run on from the start of the text. A line a render: the advances
// so far, the offset before it and the piece shown. The outlined text
// itself shows in the title screen's picture. A short tail grows two
// characters at a time until it passes the 429-pixel view by ten: narrow
// marks in every ten characters, the rest soft hyphens, which take no room.
// Before them, each information panel and the frame it came.
TEST_F(TitleScreenTest, TheBackgroundsPanelsAndScroller) {
    setInfoPanel(0);
    ASSERT_TRUE(enterTitleScreen());
    std::ostringstream out;
    for (int frame = 0, shown = -1; frame < 1380; ++frame) {
        drawTitleBackground();
        if (std::exchange(shown, infoPanel()) != infoPanel())
            out << "panel " << infoPanel() << " from frame " << frame << "\n";
    }
    WelcomeScroller& scroller = welcomeScroller();
    // The last text wraps with one character of a head left to take.
    for (const char* text : {kWelcomeText, "MMMMMMMMMMAAAAAAAAAA", "MMMMMMMMMMAAAAAAAAA"}) {
        ASSERT_TRUE(scroller.setUp(app.screen, text));
        for (int advances = 1, offset = -1, renders = 0; renders < (text == kWelcomeText ? 42 : 3);
             ++advances) {
            scroller.advance();
            if (scroller.offset() == 0 && (++renders, true)) {
                // The piece as drawn, outlined, as a checksum of its pixels.
                uint32_t sum = 0;
                for (uint32_t pixel :
                     pixelsOf(*scroller.surface(), 0, 0, WelcomeScroller::kSurfaceWidth,
                              WelcomeScroller::kHeight))
                    sum = sum * 31 + (pixel & 0xFFFFFF);
                out << advances << ": after " << offset << " at " << scroller.position() << " '"
                    << scroller.head().c_str() << "' " << scroller.headWidth() << " drawn " << sum
                    << "\n";
            }
            offset = scroller.offset();
        }
    }
    std::string marks;
    for (int i = 0; i < 30; ++i)
        marks += "'\xad\xad\xad\xad|\xad\xad\xad\xad";
    for (int setUps = 0; setUps < 2; ++setUps) {
        ASSERT_TRUE(scroller.setUp(app.screen, marks.c_str()));
        out << "marks: tail " << scroller.tailLength() << "\n";
        std::string last;
        int renders = 0;
        for (int frame = 0; frame < 1000 - 900 * setUps; ++frame) {
            const int before = scroller.position();
            scroller.advance();
            const String& tail = scroller.tail();
            const std::string now =
                "tail " + std::to_string(scroller.tailLength()) + "=" +
                std::to_string(tail.length()) + ", " +
                std::to_string(widthOf(scroller.surface(), tail)) + " wide, " +
                std::to_string(
                    widthOf(scroller.surface(), String(tail.c_str(), tail.length() - 2))) +
                " without two";
            if (scroller.position() != before && ++renders && std::exchange(last, now) != now)
                out << "render " << renders << ": " << now << "\n";
        }
        out << renders << " renders\n";
    }
    checkGoldenText(LURVANE_TEST_GOLDEN_DIR "/welcome_scroller.txt", out.str());
    // A released scroller draws nothing and does not fail.
    scroller.release();
    for (int i = 0; i < 100; ++i)
        scroller.advance();
    EXPECT_EQ(scroller.surface(), nullptr);
}

TEST_F(TitleScreenTest, TheTitleScreenLooksAsBefore) {
    statistics.gamesPlayed = 7;
    statistics.totalPoints = 100;
    ASSERT_TRUE(enterTitleScreen());
    setInfoPanel(3);
    for (int i = 0; i < 40; ++i)
        titleFrame();
    // A panel drawn afresh in its place shows at once.
    statistics.gamesPlayed = 8;
    buildStatisticsPanel();
    titleFrame();
    menuBoxManager->drawAndHandle(nullptr);
    checkGoldenFrame(*back, "title_screen.ppm");
}

// The help pages turn with a fresh ENTER, SPACE or click and end past the
// last (in the transcript); behind them blue and green drift: the first
// frame drawn steps once from 30 and 30, then blue swings in steps of 1
// between 19 and 81, green in steps of 2 between 12 and 86.
TEST_F(TitleScreenTest, HelpPagesTurnOverADriftingBackground) {
    dir.write("Data/Text/help.txt", "How to play\n<h>Moving\nSteer with the arrow keys.\n"
                                    "100%% sure\n<p>\nPage two\n<p>\nPage three\n");
    // Every background level from what the screen makes of each colour.
    std::map<uint32_t, std::pair<int, int>> levelsOf;
    for (int blue = 0; blue < 256; ++blue)
        for (int green = 0; green < 256; ++green)
            levelsOf[app.screen->ConvertColor(static_cast<uint32_t>(blue << 16 | green << 8))] = {
                blue, green};
    std::vector<int> blue, green;
    bool pagesShown = false;
    watch = [&](int frame) {
        if (frame == 50)
            checkGoldenFrame(*back, "help_page.ppm");
        // The first frame of the pages shows what the title screen drew.
        if (textPageCount() == 0 || !std::exchange(pagesShown, true))
            return;
        const auto found = levelsOf.find(pixelOf(*back, 0, 479));
        ASSERT_NE(found, levelsOf.end());
        blue.push_back(found->second.first);
        green.push_back(found->second.second);
    };
    frontEnd("help", "5 down 10 down 15 down 20 down 30 +enter 60 -enter 70 space click:5,5 220 "
                     "enter 240 esc");
    checkGoldenText(LURVANE_TEST_GOLDEN_DIR "/help_pages.txt", out.str());
    ASSERT_GT(blue.size(), 150u);
    EXPECT_EQ(std::make_pair(blue[0], green[0]), std::make_pair(31, 32));
    for (size_t i = 1; i < blue.size(); ++i) {
        EXPECT_EQ(std::abs(blue[i] - blue[i - 1]), 1) << i;
        EXPECT_EQ(std::abs(green[i] - green[i - 1]), 2) << i;
    }
    EXPECT_EQ(*std::minmax_element(blue.begin(), blue.end()).first, 19);
    EXPECT_EQ(*std::minmax_element(blue.begin(), blue.end()).second, 81);
    EXPECT_EQ(*std::minmax_element(green.begin(), green.end()).first, 12);
    EXPECT_EQ(*std::minmax_element(green.begin(), green.end()).second, 86);
    // Opened again, the drift starts afresh (it was going down in both).
    blue.clear();
    green.clear();
    pagesShown = false;
    frontEnd("help again", "5 down 10 down 15 down 20 down 30 enter 50 esc");
    EXPECT_EQ(std::make_pair(blue.at(0), green.at(0)), std::make_pair(31, 32));
}

// The frame keeps the picture with the panel keyed onto it; whatever the
// panel shows or becomes, the frame must equal the layers drawn afresh, also
// with a picture smaller than the screen (the logo, 640x100).
TEST_F(TitleScreenTest, TheKeptBackdropFollowsEveryChangeOfThePanel) {
    for (const char* file : {"title.bmp", "logo.bmp"}) {
        SCOPED_TRACE(file);
        if (std::string(file) != "title.bmp")
            std::filesystem::copy_file(dir.file(std::string("Data/Gfx/") + file),
                                       dir.file("Data/Gfx/title.bmp"),
                                       std::filesystem::copy_options::overwrite_existing);
        ASSERT_TRUE(enterTitleScreen());
        GfxSurface picture, expected;
        ASSERT_GE(picture.CreateFromImage(app.screen, ".\\Data\\Gfx\\title.bmp", 0), 0);
        ASSERT_EQ(expected.Create(app.screen, 640, 480, 2), 0);
        const auto frameMatches = [&](const char* step) {
            setPanelCountdown(1 << 20);
            // What lies outside a small picture stays as it was on both.
            back->FillAll(0x123456);
            expected.FillAll(0x123456);
            drawTitleBackground();
            picture.DrawOpaque(&expected, 0, 0);
            welcomeScroller().draw(&expected, 0, 140);
            TextBox* panel = nullptr;
            if (infoPanel() == 1 || infoPanel() == 3)
                panel = infoPanel() == 1 ? static_cast<TextBox*>(&titleHighScorePanel()->group())
                                         : titleStatisticsPanel();
            int w = 0, h = 0;
            if (panel && panel->getSize(w, h))
                panel->drawKeyed((640 - w) / 2, (300 - h) / 2 + 180, 0, 0, &expected);
            EXPECT_TRUE(pixelsOf(*back, 0, 0, 640, 480) == pixelsOf(expected, 0, 0, 640, 480))
                << step;
        };
        setInfoPanel(1);
        frameMatches("high scores");
        frameMatches("high scores again");
        highScoreManager->getList(currentSkill, currentZone)->insert("Newcomer", 9000);
        refreshHighScorePanel();
        frameMatches("a new score");
        setInfoPanel(3);
        frameMatches("statistics");
        statistics.gamesPlayed = 42;
        buildStatisticsPanel();
        frameMatches("statistics changed");
        for (int i = 0; i < 20; ++i)
            titleStatisticsPanel()->addLine("a line more");
        frameMatches("a panel tall enough to reach the scroller");
        setInfoPanel(0);
        frameMatches("no panel");
        setInfoPanel(1);
        frameMatches("high scores back");
        currentZone = 1;
        refreshHighScorePanel();
        frameMatches("another zone's table");
        leaveTitleScreen();
    }
}
