// The front end through the real frame loop: the main menu's choices, the
// zone and skill entries, the level reload key, the information panels and
// the help pages, driven by scripted key presses frame by frame.
#include "Src/frontend/TitleScreen.h"
#include "Src/frontend/TitleBackground.h"
#include "tests/support/ScanCodes.h"
#include "tests/support/TitleScreenFixture.h"

#include "Src/app/GameSystems.h"
#include "Src/core/Application.h"
#include "Src/core/GameState.h"
#include "Src/core/InputManager.h"
#include "Src/core/TextStyles.h"
#include "Src/frontend/TextPageScreen.h"
#include "Src/frontend/TitleContent.h"
#include "Src/frontend/WelcomeScroller.h"
#include "Src/menus/MenuBox.h"
#include "Src/menus/MenuBoxManager.h"
#include "Src/records/HighScoreManager.h"
#include "Src/records/HighScorePanel.h"
#include "Src/records/Settings.h"
#include "Src/zones/LevelCatalogue.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/HeadlessPlatform.h"
#include "lib/Log.h"
#include "sound/RecordingSoundBackEnd.h"
#include "sound/SoundSystem.h"
#include "tests/support/Golden.h"
#include "tests/support/TempDir.h"
#include "widgets/TextBox.h"
#include "widgets/TextGroup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

class TitleScreenTest : public TitleScreenFixture {
protected:
    void key(int frame, int scanCode, bool down) { platform.keyAtFrame(frame, scanCode, down); }
    void tap(int frame, int scanCode) {
        key(frame, scanCode, true);
        key(frame + 2, scanCode, false);
    }
    void click(int frame, int x, int y) { platform.clickAtFrame(frame, x, y); }
    // Calls what once per frame while the loops run.
    void eachFrame(std::function<void(int frame)> what) { platform.afterPresent = what; }
    std::string entry(int index) const {
        MenuBox* menu = titleMainMenu();
        return menu ? menu->entry(index).text.c_str() : "";
    }
    // Adds value to the list when it differs from the last one.
    static void note(std::vector<std::string>& seen, const std::string& value) {
        if (!value.empty() && (seen.empty() || seen.back() != value))
            seen.push_back(value);
    }
    std::vector<uint32_t> backPixels() {
        std::vector<uint32_t> frame;
        back->Lock();
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                frame.push_back(back->GetPixel(x, y) & 0xFFFFFF);
        back->Unlock();
        return frame;
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

TEST_F(TitleScreenTest, AZoneMenuTooWideForItsPlaceMovesLeftToFit) {
    dir.write("Data/Levels/Alpha/level.txt", "<Zone>\nName=\"Alpha\"\nAuthor=\"Somebody With "
                                             "A Very Long Name Indeed\"\nSkill=1\n</Zone>\n");
    ASSERT_TRUE(levelCatalogue.scanZones());
    int left = -1, top = -1, width = 0;
    eachFrame([&](int) {
        if (menuBoxManager->stackSize() == 2) {
            menuBoxManager->top()->position(left, top);
            width = menuBoxManager->top()->width();
        }
    });
    tap(5, kScanDown);
    tap(15, kScanEnter);
    tap(30, kScanEscape);
    tap(45, kScanEscape);
    limitFrames(300);
    EXPECT_FALSE(runTitleScreen());
    EXPECT_GT(width, 640 - 370);
    EXPECT_EQ(left + width, 640);
    EXPECT_EQ(top, 30);
}

TEST_F(TitleScreenTest, TheReloadKeyFindsNewZonesAndClampsTheChosenOne) {
    currentZone = 2;
    std::vector<std::string> labels;
    eachFrame([&](int frame) {
        note(labels, entry(1));
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
    EXPECT_EQ(levelCatalogue.getZoneCount(), 3);
    EXPECT_STREQ(levelCatalogue.getZoneName(2), "Delta");
    int scans = 0;
    const std::string log = readFile("log.txt");
    for (size_t at = log.find("Searching for Levels"); at != std::string::npos;
         at = log.find("Searching for Levels", at + 1))
        ++scans;
    EXPECT_EQ(scans, 3 + 1); // set-up, the held key once, the tap
}

TEST_F(TitleScreenTest, MenuSoundsPlayOnlyWithTheTitleMusicOff) {
    RecordingSoundBackEnd recording;
    soundSystem = new SoundSystem(recording);
    dir.write("Data/sound.txt", "1 = {\n File = choice.wav;\n}\n2 = {\n File = move.wav;\n}\n"
                                "14 = {\n Type = Song; File = title.mod;\n}\n");
    for (const char* name : {"choice.wav", "move.wav", "title.mod"})
        dir.write(name, "x");
    String error;
    ASSERT_TRUE(soundSystem->Init(".\\Data\\sound.txt", error)) << error.c_str();
    // A move up is a move too, not a choice.
    options.titleMusic = false;
    recording.takeCalls();
    const int start = platform.framesPresented();
    tap(start + 5, kScanUp);
    tap(start + 15, kScanEscape);
    limitFrames(start + 300);
    EXPECT_FALSE(runTitleScreen());
    const std::string moves = recording.takeCalls().c_str();
    EXPECT_NE(moves.find("move.wav"), std::string::npos) << moves;
    EXPECT_EQ(moves.find("choice.wav"), std::string::npos) << moves;
    for (bool music : {false, true}) {
        options.titleMusic = music;
        recording.takeCalls();
        int frame = platform.framesPresented();
        tap(frame + 5, kScanDown);
        tap(frame + 15, kScanDown);
        tap(frame + 25, kScanEnter); // the skill
        tap(frame + 35, kScanEscape);
        limitFrames(frame + 300);
        EXPECT_FALSE(runTitleScreen());
        const std::string calls = recording.takeCalls().c_str();
        EXPECT_EQ(calls.find("move.wav") != std::string::npos, !music) << calls;
        EXPECT_EQ(calls.find("choice.wav") != std::string::npos, !music) << calls;
        EXPECT_EQ(calls.find("title.mod") != std::string::npos, music) << calls;
    }
    soundSystem->Close();
    delete soundSystem;
    soundSystem = nullptr;
}

TEST_F(TitleScreenTest, TheHighScorePanelShowsFiftyFramesAfterTheFirstEntry) {
    setInfoPanel(0);
    ASSERT_TRUE(enterTitleScreen());
    std::vector<int> panels;
    for (int i = 0; i < 1380; ++i) {
        drawTitleBackground();
        if (panels.empty() || panels.back() != infoPanel())
            panels.push_back(infoPanel());
        if (i == 48) {
            EXPECT_EQ(infoPanel(), 0);
        }
        if (i == 49) {
            EXPECT_EQ(infoPanel(), 1);
        }
    }
    EXPECT_EQ(panels, (std::vector<int>{0, 1, 2, 3, 4, 5, 0}));
    setInfoPanel(1);
    EXPECT_EQ(panelCountdown(), 400);
    setPanelCountdown(1);
    drawTitleBackground();
    EXPECT_EQ(infoPanel(), 2);
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
    checkGolden(std::string(LURVANE_TEST_GOLDEN_DIR) + "/title_screen.ppm", 640, 480, backPixels());
}

TEST_F(TitleScreenTest, HelpPagesTurnWithHeldKeysIgnoredAndEnd) {
    dir.write("Data/Text/help.txt", "How to play\n<h>Moving\nSteer with the arrow keys.\n"
                                    "100%% sure\n<p>\nPage two\n<p>\nPage three\n");
    std::vector<int> pages;
    std::vector<uint32_t> helpPicture;
    eachFrame([&](int frame) {
        if (textPageCount() > 0 && (pages.empty() || pages.back() != textPageIndex()))
            pages.push_back(textPageIndex());
        if (frame == 50)
            helpPicture = backPixels();
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
    ASSERT_EQ(helpPicture.size(), 640u * 480u);
    checkGolden(std::string(LURVANE_TEST_GOLDEN_DIR) + "/help_page.ppm", 640, 480, helpPicture);
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

TEST(RunLoop, TheProgramStartsOnTheTitleScreenAndComesBackToItAfterAGame) {
    const std::filesystem::path data(LURVANE_GAME_DATA_DIR);
    if (!std::filesystem::exists(data / "Gfx" / "title.bmp"))
        GTEST_SKIP() << "no game data built";
    TempDir dir;
    std::filesystem::create_directories(dir.file("Data/Gfx"));
    std::filesystem::create_directories(dir.file("Data/Levels"));
    std::filesystem::copy_file(data / "Gfx" / "title.bmp", dir.file("Data/Gfx/title.bmp"));
    ScopedWorkingDir cwd(dir.path());
    HeadlessPlatform platform;
    int titleFrames = 0;
    platform.afterPresent = [&](int) { titleFrames += titleMainMenu() != nullptr; };
    auto tap = [&](int frame, int scanCode) {
        PlatformEvent e;
        e.type = PlatformEvent::KeyDown;
        e.scancode = scanCode;
        platform.pushEventAtFrame(frame, e);
        e.type = PlatformEvent::KeyUp;
        platform.pushEventAtFrame(frame + 2, e);
    };
    // With no zone the game ends at once and the title screen comes back.
    tap(5, kScanEnter);
    tap(30, kScanUp);
    tap(40, kScanEnter); // Quit
    platform.closeAtFrame(400);
    EXPECT_EQ(runLurvane(platform), 0);
    EXPECT_LT(platform.framesPresented(), 100);
    EXPECT_GT(titleFrames, 30);
    const std::string log = readFile("log.txt");
    EXPECT_NE(log.find("No game started"), std::string::npos);
    // Start-up, then each entry into the front end scans the zones.
    int scans = 0;
    for (size_t at = log.find("Searching for Levels"); at != std::string::npos;
         at = log.find("Searching for Levels", at + 1))
        ++scans;
    EXPECT_EQ(scans, 3);
    EXPECT_TRUE(std::filesystem::exists("Data/settings.dat"));
    gameLog.close();
    errorLog.close();
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
            back->Lock();
            expected.Lock();
            int differing = 0;
            for (int y = 0; y < 480; ++y)
                for (int x = 0; x < 640; ++x)
                    differing += back->GetPixel(x, y) != expected.GetPixel(x, y);
            expected.Unlock();
            back->Unlock();
            EXPECT_EQ(differing, 0) << step;
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
