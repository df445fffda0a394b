// Whole games played through the real frame loop: a small zone made with the
// level compiler, a script of key presses frame by frame, and the outcome.
#include "GameManager.h"

#include "Application.h"
#include "GameState.h"
#include "GfxScreen.h"
#include "GfxSurface.h"
#include "Golden.h"
#include "HeadlessPlatform.h"
#include "HighScoreManager.h"
#include "InputManager.h"
#include "LevelCatalogue.h"
#include "LevelCompiler.h"
#include "Log.h"
#include "MenuBoxManager.h"
#include "Random.h"
#include "SegmentPool.h"
#include "Settings.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kScanUp = 0xC8;
constexpr int kScanDown = 0xD0;
constexpr int kScanFire = 0x9D; // right Ctrl
constexpr int kScanEscape = 0x01;
constexpr int kScanEnter = 0x1C;
constexpr int kScanP = 0x19;
constexpr int kScanK = 0x25;
constexpr int kScanL = 0x26;

struct LevelSpec {
    std::vector<std::string> rows;
    std::string settings = "Time=60,50,40\nStartSpeed=4,4,4\nTopSpeed=2,2,2\nIncSpeed=5,5,5\n";
};

class Game : public ::testing::Test {
protected:
    void SetUp() override {
        const std::filesystem::path data(LURVANE_GAME_DATA_DIR);
        if (!std::filesystem::exists(data / "Gfx" / "score.bmp"))
            GTEST_SKIP() << "no game data built";
        std::filesystem::create_directories(dir.file("Data/Gfx"));
        for (const char* name : {"score.bmp", "items20.bmp", "items.bmp"})
            std::filesystem::copy_file(data / "Gfx" / name,
                                       dir.file(std::string("Data/Gfx/") + name));
        cwd = std::make_unique<ScopedWorkingDir>(dir.path());
        gameLog.open("log.txt");
        errorLog.open("errorLog.txt");
        app = ApplicationState();
        app.platform = &platform;
        app.appActive = 1;
        ASSERT_TRUE(platform.createWindow("Lurvane", 640, 480));
        screen = std::make_unique<GfxScreen>(&platform);
        ASSERT_EQ(screen->CreateWindowed(&platform, 640, 480), 0);
        app.screen = screen.get();
        back = std::make_unique<GfxSurface>();
        ASSERT_EQ(back->Create(app.screen, 640, 480, 2), 0);
        app.backSurface = back.get();
        if (!segmentPool)
            segmentPool = new SegmentPool;
        highScoreManager = new HighScoreManager;
        // Tables out of reach: these games end without the high score entry.
        for (int skill = kSkillEasy; skill <= kSkillHard; ++skill)
            for (HighScoreEntry& entry : highScoreManager->getList(skill, 0)->entries)
                entry.score = 1000000;
        menuBoxManager = new MenuBoxManager;
        inputManager = new InputManager;
        ASSERT_TRUE(inputManager->init(&platform));
        statistics = Statistics();
        options = Options();
        currentZone = 0;
        currentSkill = kSkillEasy;
    }
    void TearDown() override {
        delete inputManager;
        inputManager = nullptr;
        delete highScoreManager;
        highScoreManager = nullptr;
        delete menuBoxManager;
        menuBoxManager = nullptr;
        levelCatalogue.clearZones();
        app = ApplicationState();
        gameLog.close();
        errorLog.close();
    }

    // A zone "Test" of the given levels, compiled into Data/Levels.
    void zone(const std::vector<LevelSpec>& levels, const std::string& name = "Test",
              const std::string& header = "") {
        BlockSheet sheet;
        sheet.width = 320;
        sheet.height = 40;
        for (int i = 0; i < 320 * 40; ++i)
            sheet.pixels.push_back(static_cast<uint32_t>((i % 320) / 20 * 0x101010));
        if (!sheetFile.empty()) {
            GfxSurface picture;
            ASSERT_EQ(picture.CreateFromImage(nullptr, sheetFile.c_str(), 1), 1) << sheetFile;
            picture.Lock();
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 320; ++x)
                    sheet.pixels[static_cast<size_t>(y * 320 + x)] = picture.GetPixel(x, y);
            picture.Unlock();
        }
        std::string text = "<Zone>\nName=\"" + name + "\"\nSkill=1\n" + header + "</Zone>\n";
        for (size_t n = 0; n < levels.size(); ++n) {
            std::string source = "map\n";
            for (const std::string& row : levels[n].rows)
                source += row + "\n";
            LevelSource level;
            std::string error;
            ASSERT_TRUE(parseLevelSource(source, level, error)) << error;
            FmpMap map;
            ASSERT_TRUE(compileLevel(level, sheet, 16, map, error)) << error;
            const std::string file = "level" + std::to_string(n + 1);
            std::filesystem::create_directories(dir.file("Data/Levels/" + name));
            ASSERT_TRUE(writeFmpFile(map, dir.file("Data/Levels/" + name + "/" + file + ".fmp")));
            text += "<Level>\nFilename=" + file + "\n" + levels[n].settings + "</Level>\n";
        }
        dir.write("Data/Levels/" + name + "/level.txt", text);
        ASSERT_TRUE(levelCatalogue.scanZones());
    }

    void key(int frame, int scanCode, bool down) {
        PlatformEvent e;
        e.type = down ? PlatformEvent::KeyDown : PlatformEvent::KeyUp;
        e.scancode = scanCode;
        platform.pushEventAtFrame(frame, e);
    }
    // A tap: down at the frame, up two frames later.
    void tap(int frame, int scanCode) {
        key(frame, scanCode, true);
        key(frame + 2, scanCode, false);
    }
    // Fire taps every 20 frames from the given frame on, to get past messages.
    void keepContinuing(int from, int until = 4000) {
        for (int f = from; f < until; f += 20)
            tap(f, kScanFire);
    }
    // Safety net: the loop ends after this many frames whatever happens.
    void limitFrames(int frames) {
        PlatformEvent quit;
        quit.type = PlatformEvent::CloseRequest;
        platform.pushEventAtFrame(frames, quit);
    }

    std::string sheetFile; // a block sheet picture instead of grey blocks
    TempDir dir;
    std::unique_ptr<ScopedWorkingDir> cwd;
    HeadlessPlatform platform{1};
    std::unique_ptr<GfxScreen> screen;
    std::unique_ptr<GfxSurface> back;
    GameManager game;
};

const LevelSpec kFoodAhead = {{"#########", "#BB>.o..#", "#########"}};
const LevelSpec kWallAhead = {{"######", "#BB>##", "######"}};

} // namespace

TEST_F(Game, EatingTheLastFoodCompletesTheZoneAndCountsTheBonus) {
    zone({kFoodAhead});
    keepContinuing(40);
    limitFrames(3000);
    game.run();
    EXPECT_EQ(app.loopResult, kLoopZoneCompleted);
    EXPECT_EQ(game.messageText(), "Congratulations! Zone completed!");
    // 1 for the food; then the count: 3 per segment (the grown one has not
    // joined yet), 5 per second left and 50 per snake, all snakes spent.
    EXPECT_GT(game.score(), 1 + 3 * 3 + 50 * 3);
    EXPECT_EQ(game.lives(), 0);
    EXPECT_EQ(game.timeLeft(), 0);
    EXPECT_EQ((game.score() - 1 - 9 - 150) % 5, 0);
    EXPECT_EQ(statistics.gamesPlayed, 1);
    EXPECT_EQ(statistics.zonesCompleted, 1);
    EXPECT_EQ(statistics.levelsDone, 1);
    EXPECT_EQ(statistics.bestScore, game.score());
    EXPECT_TRUE(levelCatalogue.isZoneCompleted(0));
    EXPECT_FALSE(app.quitPosted);
}

TEST_F(Game, CrashesCostSnakesUntilGameOver) {
    zone({kWallAhead});
    keepContinuing(10);
    limitFrames(3000);
    game.run();
    EXPECT_EQ(app.loopResult, kLoopGameOver);
    EXPECT_EQ(game.lives(), 0);
    EXPECT_EQ(game.messageText(), "Sorry, that snake is done!");
    EXPECT_EQ(game.score(), 0);
    EXPECT_EQ(statistics.gamesPlayed, 1);
    EXPECT_EQ(statistics.zonesCompleted, 0);
}

TEST_F(Game, EverySecondCompletedLevelGivesAnExtraSnake) {
    zone({kFoodAhead, kFoodAhead, kFoodAhead, kWallAhead});
    currentSkill = kSkillHard; // one snake
    keepContinuing(40);
    limitFrames(6000);
    game.run();
    // Three levels done (+1 snake after the second), then crashes in the
    // fourth until no snake is left.
    EXPECT_EQ(app.loopResult, kLoopGameOver);
    EXPECT_EQ(game.levelNumber(), 4);
    EXPECT_EQ(game.levelsToExtraSnake(), 1);
    EXPECT_EQ(statistics.levelsDone, 3);
}

TEST_F(Game, EscapeLeavesTheGameWithoutStatistics) {
    zone({{{"##########", "#BB>....o#", "#........#", "##########"}}});
    tap(5, kScanEscape);
    tap(20, kScanDown); // "Quit Game" in the escape menu
    tap(30, kScanEnter);
    limitFrames(2000);
    game.run();
    EXPECT_EQ(app.loopResult, kLoopEscape);
    EXPECT_EQ(statistics.gamesPlayed, 0);
}

TEST_F(Game, TimeRunsOutWhileTheSnakeWaits) {
    // The snake stops facing the wall with free blocks on both sides.
    LevelSpec waiting = {{"#######", "#..o..#", "#BB>..#", "#.....#", "#######"},
                         "Time=2,2,2\nStartSpeed=40,40,40\n"};
    waiting.rows = {"######", "#o...#", "#BB>.#", "#....#", "######"};
    zone({waiting});
    currentSkill = kSkillHard;
    keepContinuing(400);
    limitFrames(3000);
    game.run();
    EXPECT_EQ(game.messageText(), "Time is up!");
    EXPECT_EQ(app.loopResult, kLoopGameOver);
    EXPECT_EQ(game.timeLeft(), 0);
}

TEST_F(Game, KeysTurnTheSnakeAndLatchBetweenFrames) {
    zone({{{"#######", "#.....#", "#BB>..#", "#.....#", "#...o.#", "#######"}}});
    // Pressed and released before the frame that reads it: still a turn.
    // (Steps come every fifth frame at this speed, from the first frame on;
    // the direction is read on the frames that step.)
    key(5, kScanDown, true);
    key(5, kScanDown, false);
    keepContinuing(200);
    limitFrames(2000);
    game.run();
    // The turn took the snake down the column of the food.
    EXPECT_EQ(app.loopResult, kLoopZoneCompleted);
}

TEST_F(Game, CheatKeysEndTheLevelAndMarkTheGame) {
    zone({{{"##########", "#BB>....o#", "#........#", "##########"}},
          {{"##########", "#BB>....o#", "#........#", "##########"}}});
    tap(3, kScanL); // the level ends as if all food were eaten
    keepContinuing(30, 200);
    tap(260, kScanK);       // a snake is lost in the second level
    key(300, kScanK, true); // held: one snake only
    keepContinuing(330);
    limitFrames(3000);
    game.run();
    EXPECT_TRUE(game.cheatsUsed());
    EXPECT_FALSE(levelCatalogue.isZoneCompleted(0));
}

TEST_F(Game, PauseStopsTheSnakeAndTheClock) {
    zone({{{"##############################", "#BB>.........................#",
            "#...........................o#", "##############################"},
           "Time=60,60,60\nStartSpeed=8,8,8\n"}});
    tap(2, kScanP);
    limitFrames(200);
    game.run();
    EXPECT_EQ(app.loopResult, kLoopQuit);
    int column = 0, row = 0;
    game.snake().headCell(column, row);
    EXPECT_LE(column, 4);
    EXPECT_EQ(game.timeLeft(), 60);
}

TEST_F(Game, LevelTitlesDependOnTheZoneNameLength) {
    for (const auto& [name, title] :
         std::vector<std::pair<std::string, std::string>>{{"Thirteen char", "      Level 1 / 1"},
                                                          {"Eightchr", "Eightchr 1 / 1"},
                                                          {"Seven77", "Seven77 Zone 1 / 1"}}) {
        std::filesystem::remove_all(dir.file("Data/Levels"));
        zone({kFoodAhead}, name);
        game.startGame();
        ASSERT_TRUE(game.loadLevel());
        EXPECT_EQ(std::string(game.levelTitle().c_str()), title);
        game.unloadLevel();
    }
}

TEST_F(Game, AFrameOfALevelLooksAsItShould) {
    const std::filesystem::path art(LURVANE_ART_DIR);
    const std::filesystem::path gfx(std::string(LURVANE_GAME_DATA_DIR) + "/Gfx");
    if (!std::filesystem::exists(art / "meadow" / "blocks.bmp"))
        GTEST_SKIP() << "no game pictures built";
    sheetFile = (art / "meadow" / "blocks.bmp").string();
    std::filesystem::copy_file(gfx / "snake_meadow.bmp", dir.file("Data/Gfx/snake_meadow.bmp"));
    zone({{{"################################", "#..............................#",
            "#..o....s....r....$....t.....o.#", "#..............................#",
            "#....BBBBBBB>..........A.C.....#", "#..............................#",
            "#..#########.......%%%%%%.....o#", "#..............................#",
            "################################"}}},
         "Meadow", "SnakeGfxFile=\"..\\..\\Gfx\\snake_meadow.bmp\"\nBackcolor=RGB(22,52,20)\n");
    highScoreManager->clear(); // the picture shows the rank in a new table
    SeedRandom(3);
    game.startGame();
    ASSERT_TRUE(game.loadLevel());
    for (int i = 0; i < 12; ++i)
        game.levelFrame();
    std::vector<uint32_t> frame;
    back->Lock();
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            frame.push_back(back->GetPixel(x, y) & 0xFFFFFF);
    back->Unlock();
    checkGolden(std::string(LURVANE_TEST_GOLDEN_DIR) + "/level_frame.ppm", 640, 480, frame);
    game.unloadLevel();
}
