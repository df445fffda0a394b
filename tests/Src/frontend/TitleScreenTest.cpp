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

#include <algorithm>
#include <filesystem>
#include <map>

using TitleScreenTest = TitleScreenFixture;

TEST_F(TitleScreenTest, EachMainMenuEndingLeavesWithItsResult) {
    struct Case {
        const char* what;
        std::initializer_list<int> keys;
        bool started;
        int32_t loopResult;
    } cases[] = {
        {"Start", {kScanEnter}, true, kLoopChoice},
        {"escape", {kScanEscape}, false, kLoopEscape},
        {"Quit", {kScanUp, kScanEnter}, false, kLoopQuit},
        {"Quit down",
         {kScanDown, kScanDown, kScanDown, kScanDown, kScanDown, kScanDown, kScanEnter},
         false,
         kLoopQuit},
    };
    limitFrames(2000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int end = platform.framesPresented() + 5 + 10 * static_cast<int>(c.keys.size());
        taps(5, c.keys);
        EXPECT_EQ(runTitleScreen(), c.started);
        EXPECT_EQ(app.loopResult, c.loopResult);
        EXPECT_LT(platform.framesPresented(), end + 10);
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
    taps(5, {kScanDown, kScanDown, kScanEnter, kScanEnter, kScanEnter, kScanEnter, kScanEscape});
    limitFrames(300);
    EXPECT_FALSE(runTitleScreen());
    EXPECT_EQ(labels, (std::vector<std::string>{"Skill = Easy", "Skill = Normal", "Skill = Hard",
                                                "Skill = Easy", "Skill = Normal"}));
    ASSERT_EQ(leaders.size(), 5u);
    EXPECT_EQ(leaders,
              (std::vector<std::string>{leaders[0], "Norma", "Hardy", leaders[0], "Norma"}));
    EXPECT_EQ(currentSkill, kSkillNormal);
    // Leaving the front end keeps the changed tables.
    EXPECT_TRUE(std::filesystem::exists("Data/highscores.dat"));
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
    // Set-up, the held key once, the tap.
    EXPECT_EQ(countOf(readFile("log.txt"), "Searching for Levels"), 3 + 1);
}

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

// Menu sounds play only with the title music off, and a move up is a move
// too; the music plays while the front end runs and stops as it is left.
TEST_F(TitleScreenTest, MenuSoundsPlayOnlyWithTheTitleMusicOffAndTheMusicStopsOnLeaving) {
    ASSERT_NO_FATAL_FAILURE(recordSounds());
    const struct {
        bool music;
        std::initializer_list<int> keys;
        const char* sounds;
    } cases[] = {
        {false, {kScanUp, kScanEscape}, "m"},
        {false, {kScanDown, kScanDown, kScanEnter, kScanEscape}, "mmc"},
        {true, {kScanDown, kScanDown, kScanEnter, kScanEscape}, ""},
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

// The scroller renders again exactly when its first piece has slid past;
// the outlined text itself shows in the title screen's picture.
TEST_F(TitleScreenTest, TheScrollerMovesTwoPixelsAFrameAndWrapsTheText) {
    ASSERT_TRUE(enterTitleScreen());
    WelcomeScroller& scroller = welcomeScroller();
    ASSERT_NE(scroller.surface(), nullptr);
    scroller.advance(); // the first advance renders at once
    EXPECT_EQ(scroller.offset(), 0);
    EXPECT_EQ(scroller.position(), 10);
    EXPECT_EQ(scroller.head(), String(kWelcomeText, 10));
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
    // Ten equal letters make a head of even width, where sliding past it and
    // reaching its end are one frame apart.
    ASSERT_TRUE(scroller.setUp(app.screen, "MMMMMMMMMMAAAAAAAAAA"));
    scroller.advance();
    ASSERT_EQ(scroller.headWidth() % 2, 0);
    for (int i = 1; i < scroller.headWidth() / 2; ++i)
        scroller.advance();
    EXPECT_EQ(scroller.offset(), scroller.headWidth() - 2);
    scroller.advance();
    EXPECT_EQ(scroller.offset(), 0);
    EXPECT_EQ(scroller.position(), 20);
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
    menuBoxManager->drawAndHandle(nullptr);
    checkGoldenFrame(*back, "title_screen.ppm");
}

// The help pages turn with a fresh ENTER, SPACE or click and end past the
// last; they run at 50 frames a second with the cursor shown over a
// background whose blue and green drift.
TEST_F(TitleScreenTest, HelpPagesTurnWithHeldKeysIgnoredAndEnd) {
    dir.write("Data/Text/help.txt", "How to play\n<h>Moving\nSteer with the arrow keys.\n"
                                    "100%% sure\n<p>\nPage two\n<p>\nPage three\n");
    // Every background level from what the screen makes of each colour.
    std::map<uint32_t, std::pair<int, int>> levelsOf;
    for (int blue = 0; blue < 256; ++blue)
        for (int green = 0; green < 256; ++green)
            levelsOf[app.screen->ConvertColor(static_cast<uint32_t>(blue << 16 | green << 8))] = {
                blue, green};
    std::vector<int> pages, blue, green, rates;
    bool pictured = false, cursorHidden = false;
    eachFrame([&](int frame) {
        if (frame == 50) {
            checkGoldenFrame(*back, "help_page.ppm");
            pictured = true;
        }
        // The first frame of the pages shows what the title screen drew.
        if (textPageCount() == 0 || pages.empty()) {
            if (textPageCount() > 0)
                pages.push_back(textPageIndex());
            return;
        }
        if (pages.back() != textPageIndex())
            pages.push_back(textPageIndex());
        rates.push_back(app.framesPerSecond);
        cursorHidden = cursorHidden || !platform.cursorVisible();
        const auto found = levelsOf.find(pixelOf(*back, 0, 479));
        ASSERT_NE(found, levelsOf.end());
        blue.push_back(found->second.first);
        green.push_back(found->second.second);
    });
    for (int i = 0; i < 4; ++i)
        tap(5 + 5 * i, kScanDown);
    key(30, kScanEnter, true); // chooses Help and stays down
    key(60, kScanEnter, false);
    tap(70, kScanSpace);
    click(80, 5, 5);
    tap(200, kScanEnter); // past the last page
    tap(220, kScanEscape);
    limitFrames(400);
    EXPECT_FALSE(runTitleScreen());
    EXPECT_EQ(app.loopResult, kLoopEscape);
    EXPECT_EQ(pages, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(textPageCount(), 0);
    EXPECT_TRUE(pictured);
    ASSERT_GT(blue.size(), 150u);
    EXPECT_EQ(*std::min_element(rates.begin(), rates.end()), 50);
    EXPECT_EQ(*std::max_element(rates.begin(), rates.end()), 50);
    EXPECT_FALSE(cursorHidden);
    EXPECT_EQ(app.framesPerSecond, 55);
    // The first frame drawn steps once from 30 and 30; then blue swings in
    // steps of 1 between 19 and 81, green in steps of 2 between 12 and 86.
    EXPECT_EQ(blue[0], 31);
    EXPECT_EQ(green[0], 32);
    for (size_t i = 1; i < blue.size(); ++i) {
        EXPECT_EQ(std::abs(blue[i] - blue[i - 1]), 1) << i;
        EXPECT_EQ(std::abs(green[i] - green[i - 1]), 2) << i;
    }
    EXPECT_EQ(*std::min_element(blue.begin(), blue.end()), 19);
    EXPECT_EQ(*std::max_element(blue.begin(), blue.end()), 81);
    EXPECT_EQ(*std::min_element(green.begin(), green.end()), 12);
    EXPECT_EQ(*std::max_element(green.begin(), green.end()), 86);
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
