// The front end through the real frame loop: the main menu's choices, the
// zone and skill entries, the level reload key, the information panels and
// the help pages, driven by scripted key presses frame by frame.
#include "Src/frontend/TextPageScreen.h"
#include "Src/frontend/TitleContent.h"
#include "Src/frontend/WelcomeScroller.h"
#include "tests/support/GoldenFrame.h"
#include "tests/support/ScanCodes.h"
#include "tests/support/TitleScreenFixture.h"

#include "widgets/TextGroup.h"

#include <filesystem>

namespace {

class TitleScreenTest : public TitleScreenFixture {
protected:
    void click(int frame, int x, int y) { platform.clickAtFrame(frame, x, y); }
    std::string entry(int index) const {
        MenuBox* menu = titleMainMenu();
        return menu ? menu->entry(index).text.c_str() : "";
    }
    // Adds value to the list when it differs from the last one.
    static void note(std::vector<std::string>& seen, const std::string& value) {
        if (!value.empty() && (seen.empty() || seen.back() != value))
            seen.push_back(value);
    }
};

} // namespace

TEST_F(TitleScreenTest, EachMainMenuEndingLeavesWithItsResult) {
    struct Case {
        const char* what;
        std::vector<int> keys; // tapped 10 frames apart
        bool started;
        int32_t loopResult;
    } cases[] = {
        {"Start", {kScanEnter}, true, kLoopChoice},
        {"escape", {kScanEscape}, false, kLoopEscape},
        {"Quit", {kScanUp, kScanEnter}, false, kLoopQuit},
        {"Quit",
         {kScanDown, kScanDown, kScanDown, kScanDown, kScanDown, kScanDown, kScanEnter},
         false,
         kLoopQuit},
    };
    limitFrames(2000);
    for (const Case& c : cases) {
        int frame = platform.framesPresented() + 5;
        for (int scan : c.keys) {
            tap(frame, scan);
            frame += 10;
        }
        EXPECT_EQ(runTitleScreen(), c.started) << c.what;
        EXPECT_EQ(app.loopResult, c.loopResult) << c.what;
        EXPECT_LT(platform.framesPresented(), frame + 10) << c.what;
        EXPECT_EQ(titleMainMenu(), nullptr);
        EXPECT_EQ(menuBoxManager->stackSize(), 0);
        EXPECT_EQ(app.framesPerSecond, 55);
    }
}

TEST_F(TitleScreenTest, AClickBesideTheMenuLoopsAgainAndTheMenuRunsAtFiftyFrames) {
    int rate = 0;
    eachFrame([&](int) { rate = app.framesPerSecond; });
    click(5, 20, 400);
    tap(30, kScanEscape);
    limitFrames(300);
    EXPECT_FALSE(runTitleScreen());
    EXPECT_EQ(app.loopResult, kLoopEscape);
    EXPECT_GE(platform.framesPresented(), 30);
    EXPECT_EQ(rate, 50);
}

TEST_F(TitleScreenTest, TheSkillEntryCyclesAndTheHighScorePanelFollows) {
    highScoreManager->getList(kSkillHard, 0)->insert("Hardy", 5000);
    highScoreManager->getList(kSkillNormal, 0)->insert("Norma", 4000);
    setInfoPanel(1);
    std::vector<std::string> labels, leaders;
    eachFrame([&](int) {
        note(labels, entry(2));
        if (HighScorePanel* panel = titleHighScorePanel())
            note(leaders, panel->column(1).line(0).text.c_str());
    });
    tap(5, kScanDown);
    tap(15, kScanDown);
    for (int f = 25; f < 65; f += 10)
        tap(f, kScanEnter);
    tap(80, kScanEscape);
    limitFrames(300);
    EXPECT_FALSE(runTitleScreen());
    EXPECT_EQ(labels, (std::vector<std::string>{"Skill = Easy", "Skill = Normal", "Skill = Hard",
                                                "Skill = Easy", "Skill = Normal"}));
    ASSERT_EQ(leaders.size(), 5u);
    EXPECT_EQ(leaders[1], "Norma");
    EXPECT_EQ(leaders[2], "Hardy");
    EXPECT_EQ(leaders[3], leaders[0]);
    EXPECT_EQ(leaders[4], "Norma");
    EXPECT_EQ(currentSkill, kSkillNormal);
    // Leaving the front end keeps the changed tables.
    EXPECT_TRUE(std::filesystem::exists("Data/highscores.dat"));
}

TEST_F(TitleScreenTest, TheZoneMenuChoosesAZoneAndEscapeKeepsIt) {
    std::vector<std::string> labels;
    int selectedOnOpen = -1, left = -1, top = -1;
    eachFrame([&](int) {
        note(labels, entry(1));
        if (menuBoxManager->stackSize() == 2 && selectedOnOpen < 0) {
            selectedOnOpen = menuBoxManager->top()->selected;
            menuBoxManager->top()->position(left, top);
        }
    });
    currentZone = 1;
    tap(5, kScanDown);
    tap(15, kScanEnter); // zone menu opens on Beta
    tap(25, kScanDown);
    tap(35, kScanEnter); // Gamma
    tap(45, kScanEnter); // the menu again, now on Gamma
    tap(55, kScanEscape);
    tap(70, kScanEscape);
    limitFrames(400);
    EXPECT_FALSE(runTitleScreen());
    EXPECT_EQ(app.loopResult, kLoopEscape);
    EXPECT_EQ(selectedOnOpen, 1);
    EXPECT_EQ(left, 370);
    EXPECT_EQ(top, 30);
    EXPECT_EQ(currentZone, 2);
    EXPECT_EQ(labels, (std::vector<std::string>{"Zone = Beta", "Zone = Gamma"}));
}

TEST_F(TitleScreenTest, TheReloadKeyFindsNewZonesAndClampsTheChosenOne) {
    currentZone = 2;
    highScoreManager->getList(currentSkill, 2)->insert("Gemma", 99999);
    setInfoPanel(1);
    std::vector<std::string> labels, leaders;
    eachFrame([&](int frame) {
        note(labels, entry(1));
        note(leaders, titleHighScorePanel()->column(1).line(0).text.c_str());
        if (frame == 10)
            std::filesystem::remove_all(dir.file("Data/Levels/Gamma"));
        if (frame == 40)
            zone("Delta", 4);
    });
    key(20, kScanL, true);
    key(30, kScanL, false); // held: one rescan only
    tap(50, kScanL);
    tap(70, kScanEscape);
    limitFrames(300);
    EXPECT_FALSE(runTitleScreen());
    EXPECT_EQ(labels, (std::vector<std::string>{"Zone = Gamma", "Zone = Beta"}));
    EXPECT_EQ(currentZone, 1);
    // The high score panel is left as it was.
    EXPECT_EQ(leaders, std::vector<std::string>{"Gemma"});
    EXPECT_EQ(levelCatalogue.getZoneCount(), 3);
    EXPECT_STREQ(levelCatalogue.getZoneName(2), "Delta");
    int scans = 0;
    const std::string log = readFile("log.txt");
    for (size_t at = log.find("Searching for Levels"); at != std::string::npos;
         at = log.find("Searching for Levels", at + 1))
        ++scans;
    EXPECT_EQ(scans, 3 + 1); // set-up, the held key once, the tap
}

// Menu sounds play only with the title music off, and a move up is a move
// too; the music plays while the front end runs and stops as it is left.
// A reload that cannot read the zone list ends the front end at once.
TEST_F(TitleScreenTest, AFailedReloadEndsTheFrontEnd) {
    eachFrame([&](int frame) {
        if (frame == 10)
            dir.write("Data/Levels/Broken/level.txt", "<Zone>\nName=\"Broken\"\n");
    });
    tap(20, kScanL);
    tap(60, kScanEscape);
    limitFrames(300);
    EXPECT_FALSE(runTitleScreen());
    EXPECT_EQ(app.loopResult, kLoopEscape);
    EXPECT_LT(platform.framesPresented(), 25);
}

TEST_F(TitleScreenTest, MenuSoundsPlayOnlyWithTheTitleMusicOffAndTheMusicStopsOnLeaving) {
    ASSERT_NO_FATAL_FAILURE(recordSounds());
    const struct {
        bool music;
        std::initializer_list<int> keys;
        std::vector<std::string> sounds;
    } cases[] = {
        {false, {kScanUp, kScanEscape}, {"move"}},
        {false, {kScanDown, kScanDown, kScanEnter, kScanEscape}, {"move", "move", "choice"}},
        {true, {kScanDown, kScanDown, kScanEnter, kScanEscape}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.music);
        options.titleMusic = c.music;
        taps(5, c.keys);
        limitFrames(platform.framesPresented() + 300);
        EXPECT_FALSE(runTitleScreen());
        std::string calls;
        EXPECT_EQ(menuSounds(&calls), c.sounds);
        // Entering without music stops it; leaving stops what played, and
        // only that.
        const size_t play = calls.find("playSong title.mod");
        EXPECT_EQ(play != std::string::npos, c.music) << calls;
        const size_t stop = calls.rfind("stopAllSongs");
        EXPECT_TRUE(c.music ? stop > play : stop == calls.find("stopAllSongs")) << calls;
    }
}

TEST_F(TitleScreenTest, TheHighScorePanelShowsFiftyFramesAfterTheFirstEntry) {
    setInfoPanel(0);
    ASSERT_TRUE(enterTitleScreen());
    std::vector<std::pair<int, int>> shown; // each panel and the frame it came
    for (int i = 0; i < 1380; ++i) {
        drawTitleBackground();
        if (shown.empty() || shown.back().first != infoPanel())
            shown.push_back({infoPanel(), i});
    }
    EXPECT_EQ(shown, (std::vector<std::pair<int, int>>{
                         {0, 0}, {1, 49}, {2, 449}, {3, 499}, {4, 899}, {5, 949}, {0, 1349}}));
}

TEST_F(TitleScreenTest, TheScrollerMovesTwoPixelsAFrameAndWrapsTheText) {
    ASSERT_TRUE(enterTitleScreen());
    WelcomeScroller& scroller = welcomeScroller();
    ASSERT_NE(scroller.surface(), nullptr);
    EXPECT_EQ(scroller.surface()->GetWidth(), 929);
    EXPECT_EQ(scroller.surface()->GetHeight(), 30);
    scroller.advance(); // the first advance renders at once
    EXPECT_EQ(scroller.offset(), 0);
    EXPECT_EQ(scroller.position(), 10);
    EXPECT_EQ(scroller.head(), String(kWelcomeText, 10));
    EXPECT_GE(scroller.tailLength(), 100);
    int width = 0, height = 0;
    ASSERT_TRUE(scroller.surface()->GetTextExtent(scroller.tail().c_str(), width, height));
    EXPECT_GE(width, 429 + 10);
    const int headWidth = scroller.headWidth();
    ASSERT_GT(headWidth, 0);
    for (int i = 1; 2 * i < headWidth; ++i) {
        scroller.advance();
        ASSERT_EQ(scroller.offset(), 2 * i);
    }
    scroller.advance();
    EXPECT_EQ(scroller.offset(), 0);
    EXPECT_EQ(scroller.position(), 20);
    // Near the end the pieces run on from the start of the text.
    int renders = 0;
    while (scroller.position() != 7 && renders < 100) {
        const int before = scroller.position();
        while (scroller.position() == before)
            scroller.advance();
        ++renders;
    }
    EXPECT_EQ(renders, 37); // from 20 to 380 in tens, then 3 more and 7 from the start
    String wrapped(kWelcomeText + 380);
    wrapped += String(kWelcomeText, 7);
    EXPECT_EQ(scroller.head(), wrapped);
}

TEST_F(TitleScreenTest, TheTitleScreenLooksAsBefore) {
    statistics.gamesPlayed = 7;
    statistics.totalPoints = 100;
    ASSERT_TRUE(enterTitleScreen());
    setInfoPanel(3);
    for (int i = 0; i < 40; ++i)
        titleFrame();
    menuBoxManager->drawAndHandle(nullptr);
    checkGoldenFrame(*back, "title_screen.ppm");
}

TEST_F(TitleScreenTest, HelpPagesTurnWithHeldKeysIgnoredAndEnd) {
    dir.write("Data/Text/help.txt", "How to play\n<h>Moving\nSteer with the arrow keys.\n"
                                    "100%% sure\n<p>\nPage two\n<p>\nPage three\n");
    std::vector<int> pages;
    bool pictured = false;
    eachFrame([&](int frame) {
        if (textPageCount() > 0 && (pages.empty() || pages.back() != textPageIndex()))
            pages.push_back(textPageIndex());
        if (frame == 50) {
            checkGoldenFrame(*back, "help_page.ppm");
            pictured = true;
        }
    });
    for (int i = 0; i < 4; ++i)
        tap(5 + 5 * i, kScanDown);
    key(30, kScanEnter, true); // chooses Help and stays down
    key(60, kScanEnter, false);
    tap(70, kScanSpace);
    click(80, 5, 5);
    tap(90, kScanEnter); // past the last page
    tap(110, kScanEscape);
    limitFrames(400);
    EXPECT_FALSE(runTitleScreen());
    EXPECT_EQ(app.loopResult, kLoopEscape);
    EXPECT_EQ(pages, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(textPageCount(), 0);
    EXPECT_TRUE(pictured);
}

TEST_F(TitleScreenTest, EscapeLeavesTheCreditsAtOnceAndAMissingFileKeepsTheMenu) {
    dir.write("Data/Text/credits.txt", "Credits\nOne\n<p>\nTwo\n");
    int creditFrames = 0;
    eachFrame([&](int) { creditFrames += textPageCount() > 0; });
    tap(5, kScanUp);
    tap(10, kScanUp);
    tap(15, kScanEnter); // Credits
    tap(30, kScanEscape);
    tap(45, kScanUp);
    tap(55, kScanEnter); // Help: no file
    tap(70, kScanEscape);
    limitFrames(300);
    EXPECT_FALSE(runTitleScreen());
    EXPECT_EQ(app.loopResult, kLoopEscape);
    EXPECT_GT(creditFrames, 5);
    EXPECT_LT(creditFrames, 20);
    EXPECT_GE(platform.framesPresented(), 70);
    EXPECT_NE(readFile("log.txt").find("Could not load textfile '.\\Data\\Text\\help.txt'\n"),
              std::string::npos);
    EXPECT_TRUE(platform.messageBoxes().empty());
}

TEST_F(TitleScreenTest, AMissingTitlePictureEndsTheFrontEndWithItsMessage) {
    std::filesystem::remove(dir.file("Data/Gfx/title.bmp"));
    EXPECT_FALSE(runTitleScreen());
    EXPECT_NE(readFile("log.txt").find("Could not load titlepic '.\\Data\\Gfx\\title.bmp'"),
              std::string::npos);
    EXPECT_EQ(titleMainMenu(), nullptr);
    EXPECT_EQ(menuBoxManager->stackSize(), 0);
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
        GfxSurface picture;
        ASSERT_GE(picture.CreateFromImage(app.screen, ".\\Data\\Gfx\\title.bmp", 0), 0);
        GfxSurface expected;
        ASSERT_EQ(expected.Create(app.screen, 640, 480, 2), 0);
        auto shown = [&]() -> TextBox* {
            switch (infoPanel()) {
            case 1:
                return &titleHighScorePanel()->group();
            case 3:
                return titleStatisticsPanel();
            default:
                return nullptr;
            }
        };
        auto frameMatches = [&](const char* step) {
            // What lies outside a small picture stays as it was on both.
            back->FillAll(0x123456);
            expected.FillAll(0x123456);
            drawTitleBackground();
            picture.DrawOpaque(&expected, 0, 0);
            welcomeScroller().draw(&expected, 0, 140);
            if (TextBox* panel = shown()) {
                int w = 0, h = 0;
                ASSERT_TRUE(panel->getSize(w, h));
                panel->drawKeyed((640 - w) / 2, (300 - h) / 2 + 180, 0, 0, &expected);
            }
            EXPECT_TRUE(pixelsOf(*back, 0, 0, 640, 480) == pixelsOf(expected, 0, 0, 640, 480))
                << step;
        };
        const struct {
            const char* step;
            std::function<void()> change;
        } steps[] = {
            {"high scores", [] { setInfoPanel(1); }},
            {"high scores again", [] {}},
            {"a new score",
             [] {
                 highScoreManager->getList(currentSkill, currentZone)->insert("Newcomer", 9000);
                 refreshHighScorePanel();
             }},
            {"statistics", [] { setInfoPanel(3); }},
            {"statistics changed",
             [] {
                 statistics.gamesPlayed = 42;
                 buildStatisticsPanel();
             }},
            {"a panel tall enough to reach the scroller",
             [] {
                 for (int i = 0; i < 20; ++i)
                     titleStatisticsPanel()->addLine("a line more");
             }},
            {"no panel", [] { setInfoPanel(0); }},
            {"high scores back", [] { setInfoPanel(1); }},
            {"another zone's table",
             [] {
                 currentZone = 1;
                 refreshHighScorePanel();
             }},
        };
        for (const auto& s : steps) {
            s.change();
            setPanelCountdown(1 << 20);
            ASSERT_NO_FATAL_FAILURE(frameMatches(s.step));
        }
        leaveTitleScreen();
    }
}
