// Whole games played through the real frame loop: a small zone made with the
// level compiler, a script of key presses frame by frame, and the outcome.
#include "Src/game/GameManager.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/ScanCodes.h"

#include "Src/core/Application.h"
#include "Src/core/GameState.h"
#include "Src/core/InputManager.h"
#include "Src/game/SegmentPool.h"
#include "Src/menus/MenuBoxManager.h"
#include "Src/records/HighScoreManager.h"
#include "Src/records/Settings.h"
#include "Src/zones/LevelCatalogue.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/HeadlessPlatform.h"
#include "lib/Log.h"
#include "lib/Random.h"
#include "map/FmpWriter.h"
#include "sound/RecordingSoundBackEnd.h"
#include "sound/SoundSystem.h"
#include "tests/support/Golden.h"
#include "tests/support/TempDir.h"
#include "tools/levelc/LevelCompiler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct LevelSpec {
    std::vector<std::string> rows;
    std::string settings = "Time=60,50,40\nStartSpeed=4,4,4\nTopSpeed=2,2,2\nIncSpeed=5,5,5\n";
};

class Game : public ::testing::Test {
protected:
    void SetUp() override {
        if (!copyGamePictures(dir, {"score.bmp", "items20.bmp", "items.bmp"}))
            GTEST_SKIP() << "no game data built";
        cwd = std::make_unique<ScopedWorkingDir>(dir.path());
        gameLog.open("log.txt");
        errorLog.open("errorLog.txt");
        ASSERT_NO_FATAL_FAILURE(openHeadlessApp(platform, screen, back));
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
        soundSystem = nullptr;
        sound.reset();
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

    void key(int frame, int scanCode, bool down) { platform.keyAtFrame(frame, scanCode, down); }
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
    void limitFrames(int frames) { platform.closeAtFrame(frames); }

    // Every game event gets a sample of its own, so the recording back end
    // shows which events were raised, in order.
    void listenToSounds() {
        std::string text;
        for (int n = 1; n <= 21; ++n) {
            text += std::to_string(n) + " = { File = e" + std::to_string(n) + ".wav; }\n";
            dir.write("e" + std::to_string(n) + ".wav", "RIFF");
        }
        dir.write("sound.txt", text);
        sound = std::make_unique<SoundSystem>(recorder);
        String error;
        ASSERT_TRUE(sound->Init("sound.txt", error)) << error.c_str();
        soundSystem = sound.get();
        options.inGameMusic = true;
        recorder.takeCalls();
    }
    // The events raised since the last call: "N", and "2@pan" for food.
    std::vector<std::string> sounds() {
        std::vector<std::string> out;
        const std::string calls = recorder.takeCalls().c_str();
        size_t at = 0;
        while ((at = calls.find("playSample e", at)) != std::string::npos) {
            at += 12;
            out.push_back(std::to_string(std::stoi(calls.substr(at))));
            if (out.back() == "2") {
                const size_t pan = calls.find(' ', calls.find("setPan ", at) + 7) + 1;
                out.back() += "@" + std::to_string(std::stoi(calls.substr(pan)));
            }
        }
        return out;
    }
    // The table of the zone and skill played, all entries at 0 but the best.
    void flatTable(int32_t best) {
        HighScoreList* list = highScoreManager->getList(currentSkill, currentZone);
        for (HighScoreEntry& entry : list->entries)
            entry.score = 0;
        list->entries[0].score = best;
    }
    int count(const std::vector<std::string>& events, const std::string& event) {
        return static_cast<int>(std::count(events.begin(), events.end(), event));
    }
    // A level loaded for frames driven by the test itself.
    void loadFirstLevel() {
        app.framesPerSecond = 55;
        game.startGame();
        ASSERT_TRUE(game.loadLevel());
        sounds();
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i)
            game.levelFrame();
    }

    RecordingSoundBackEnd recorder;
    std::unique_ptr<SoundSystem> sound;
    std::string sheetFile; // a block sheet picture instead of grey blocks
    TempDir dir;
    std::unique_ptr<ScopedWorkingDir> cwd;
    HeadlessPlatform platform{1};
    std::unique_ptr<GfxScreen> screen;
    std::unique_ptr<GfxSurface> back;
    GameManager game;
};

// An open map of the given size in blocks: walls round it, the snake's
// head (three segments, heading right) at the cell and food in a corner.
LevelSpec openMap(int columns, int rows, int headColumn, int headRow) {
    LevelSpec level;
    for (int r = 0; r < rows; ++r) {
        std::string row(static_cast<size_t>(columns), '.');
        row.front() = row.back() = '#';
        if (r == 0 || r == rows - 1)
            row = std::string(static_cast<size_t>(columns), '#');
        if (r == headRow)
            row.replace(static_cast<size_t>(headColumn - 2), 3, "BB>");
        if (r == rows - 2)
            row[static_cast<size_t>(columns - 2)] = 'o';
        level.rows.push_back(row);
    }
    return level;
}

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
    EXPECT_EQ(statistics.totalPoints, game.score());
    // Play time counts until the message; a game here lasts well under a minute.
    EXPECT_GT(statistics.totalRunTime.ticks(), 0);
    EXPECT_LT(statistics.totalRunTime.ticks(), TimeSpan::fromParts(0, 0, 1, 0).ticks());
    EXPECT_EQ(statistics.maxGameTime.ticks(), statistics.totalRunTime.ticks());
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
    listenToSounds();
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
    const std::vector<std::string> events = sounds();
    EXPECT_EQ(count(events, "5"), 3);
    EXPECT_EQ(count(events, "4"), 2); // the extra snake crashes too
    EXPECT_EQ(count(events, "9"), 1);
    // The next game starts afresh.
    game.startGame();
    EXPECT_EQ(game.levelNumber(), 1);
    EXPECT_EQ(game.levelsToExtraSnake(), 2);
    EXPECT_EQ(game.lives(), 1);
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

TEST_F(Game, CheatKeysActOncePerPressAndMarkTheGame) {
    const LevelSpec waiting = {{"######", "#o...#", "#BB>.#", "#....#", "######"},
                               "Time=60,60,60\nStartSpeed=40,40,40\n"};
    zone({kFoodAhead, waiting});
    listenToSounds();
    key(3, kScanL, true); // ends the level; still held when the next starts
    key(45, kScanL, false);
    keepContinuing(30, 200);
    key(260, kScanK, true); // held: one snake only
    keepContinuing(300, 400);
    key(400, kScanK, false);
    tap(420, kScanK); // pressed again: the next snake
    keepContinuing(450, 520);
    limitFrames(600);
    game.run();
    const std::vector<std::string> events = sounds();
    EXPECT_EQ(app.loopResult, kLoopQuit);
    EXPECT_TRUE(game.cheatsUsed());
    EXPECT_EQ(game.levelNumber(), 2);
    EXPECT_EQ(game.lives(), 1);
    EXPECT_EQ(count(events, "5"), 1);
    EXPECT_EQ(count(events, "4"), 2);
    EXPECT_EQ(count(events, "3"), 4); // level 1, level 2 and twice again
    EXPECT_EQ(std::string(game.messageText().c_str()), "Sorry, that snake is done!");
    game.startGame();
    EXPECT_FALSE(game.cheatsUsed());
}

TEST_F(Game, EitherCheatKeyAloneKeepsTheZoneUnmarked) {
    for (const int scan : {kScanL, kScanK}) {
        SCOPED_TRACE(scan);
        std::filesystem::remove_all(dir.file("Data/Levels"));
        levelCatalogue.clearZones();
        zone({{{"##########", "#BB>....o#", "#........#", "##########"}}});
        currentSkill = kSkillHard;
        tap(platform.framesPresented() + 3, scan);
        keepContinuing(platform.framesPresented() + 30, platform.framesPresented() + 200);
        game.run();
        EXPECT_TRUE(game.cheatsUsed());
        EXPECT_EQ(app.loopResult, scan == kScanL ? kLoopZoneCompleted : kLoopGameOver);
        EXPECT_FALSE(levelCatalogue.isZoneCompleted(0));
    }
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
                                                          {"Twelve chars", "Twelve chars 1 / 1"},
                                                          {"Eightchr", "Eightchr 1 / 1"},
                                                          {"Seven77", "Seven77 Zone 1 / 1"}}) {
        std::filesystem::remove_all(dir.file("Data/Levels"));
        zone({kFoodAhead}, name);
        game.startGame();
        ASSERT_TRUE(game.loadLevel());
        EXPECT_EQ(std::string(game.levelTitle().c_str()), title);
        game.unloadLevel();
        EXPECT_EQ(game.snake().head(), nullptr); // the snake goes with its level
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

TEST_F(Game, EachItemScoresSoundsAndChangesTheSnakeAsItShould) {
    struct Row {
        char item;
        int timeBefore;
        int score, segments, timeLeft, itemsLeft;
        std::vector<std::string> sounds;
    };
    // The snake (12 segments) steps on frames 1, 6 and 11 and eats the item
    // on frame 6, from column 13 of 19. One entry of 2 points is ahead in
    // the table; passing it sounds the rank event.
    const std::vector<Row> rows = {
        {'o', 30, 1, 13, 30, 2, {"2@174"}}, // grows one segment a step later
        {'s', 30, 0, 6, 30, 2, {"11"}},     // halved
        {'r', 30, 0, 12, 30, 2, {"10"}},
        {'$', 30, 20, 12, 30, 2, {"12", "17"}},
        {'t', 30, 0, 12, 40, 2, {"13"}},
        {'t', 45, 0, 12, 50, 2, {"13"}}, // not above the level's time
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(1, row.item) + " " + std::to_string(row.timeBefore));
        std::filesystem::remove_all(dir.file("Data/Levels"));
        std::string first = "#BBBBBBBBBBB>.";
        first += row.item;
        first += std::string(18 - first.size(), '.') + "#";
        zone({{{std::string(19, '#'), first, "#" + std::string(15, '.') + "oo#",
                std::string(19, '#')},
               "Time=50,50,50\nStartSpeed=4,4,4\nTopSpeed=2,2,2\nIncSpeed=5,5,5\n"}});
        listenToSounds();
        flatTable(2);
        loadFirstLevel();
        game.setTimeLeft(row.timeBefore);
        frames(11);
        EXPECT_EQ(game.score(), row.score);
        EXPECT_EQ(game.snake().segmentCount(), row.segments);
        EXPECT_EQ(game.timeLeft(), row.timeLeft);
        EXPECT_EQ(game.itemsLeft(), row.itemsLeft);
        EXPECT_EQ(game.map().getBlock(14, 1), 1); // eaten items become floor
        EXPECT_EQ(sounds(), row.sounds);
        game.unloadLevel();
    }
}

TEST_F(Game, TheLevelEndCountAddsSegmentsSecondsAndInAZoneEndSnakes) {
    struct Row {
        int levels;
        int finishAfter; // frames before the player continues; 0 never
        std::vector<int> scores;
        int lives;
        std::vector<std::string> sounds;
        const char* message;
    };
    // 3 segments, 2 seconds and 2 snakes left; the count moves on every
    // second frame, 3 per segment, 5 per second, 50 per snake. (An even
    // number of frames per row: the frame counter lasts between levels.)
    const std::vector<Row> rows = {
        {1,
         0,
         {3, 3, 6, 6, 9, 9, 14, 14, 19, 19, 69, 69, 119, 119, 119, 119},
         0,
         {"18", "6", "6"},
         "Congratulations! Zone completed!"},
        {2,
         0,
         {3, 3, 6, 6, 9, 9, 14, 14, 19, 19, 19, 19, 19, 19, 19, 19},
         2,
         {"5", "6"},
         "Level completed!"},
        {1, 4, {6 + 3 + 10 + 100}, 0, {"18"}, "Congratulations! Zone completed!"},
        {2, 4, {6 + 3 + 10}, 2, {"5"}, "Level completed!"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.levels) + " levels, finish after " +
                     std::to_string(row.finishAfter));
        std::filesystem::remove_all(dir.file("Data/Levels"));
        levelCatalogue.clearZones();
        zone(std::vector<LevelSpec>(static_cast<size_t>(row.levels), kFoodAhead));
        listenToSounds();
        currentSkill = kSkillNormal;
        flatTable(0);
        loadFirstLevel();
        game.setItemsLeft(0);
        game.setTimeLeft(2);
        std::vector<int> scores;
        if (row.finishAfter) {
            frames(row.finishAfter);
            game.finishBonus();
            scores.push_back(game.score());
            EXPECT_EQ(game.snake().segmentCount(), 0);
            EXPECT_EQ(game.timeLeft(), 0);
        } else {
            for (size_t i = 0; i < row.scores.size(); ++i) {
                game.levelFrame();
                scores.push_back(game.score());
            }
        }
        EXPECT_EQ(scores, row.scores);
        EXPECT_EQ(game.lives(), row.lives);
        EXPECT_EQ(sounds(), row.sounds);
        EXPECT_EQ(std::string(game.messageText().c_str()), row.message);
        EXPECT_EQ(app.loopResult, row.levels == 1 ? kLoopZoneCompleted : kLoopLevelCompleted);
        EXPECT_EQ(levelCatalogue.isZoneCompleted(0), row.levels == 1);
        game.unloadLevel();
    }
}

TEST_F(Game, TheClockWarnsEachSecondBelowElevenAndSpeedsTheSnakeUp) {
    // The snake stops in front of the wall and waits; the clock runs on.
    zone({{{"######", "#o...#", "#BB>.#", "#....#", "######"},
           "Time=12,12,12\nStartSpeed=4,4,4\nTopSpeed=2,2,2\nIncSpeed=5,5,5\n"}});
    listenToSounds();
    currentSkill = kSkillNormal;
    loadFirstLevel();
    EXPECT_EQ(game.lives(), 2);
    std::vector<std::string> heard, expected;
    for (int frame = 1; frame <= 12 * 56; ++frame) {
        game.levelFrame();
        for (const std::string& event : sounds())
            heard.push_back(std::to_string(frame) + ":" + event);
        if (frame == 5 * 56) {
            EXPECT_EQ(game.snake().normalInterval(), 64 - 8);
        } else if (frame == 12 * 56 - 1) {
            EXPECT_EQ(game.timeLeft(), 1);
        }
    }
    // A second is 56 frames: 55 counted down, then the tick.
    for (int second = 2; second <= 12; ++second)
        expected.push_back(std::to_string(second * 56) + ":8");
    expected.push_back(std::to_string(12 * 56) + ":7");
    // The snake stopped on its second step.
    EXPECT_EQ(heard.front(), "6:21");
    heard.erase(heard.begin());
    EXPECT_EQ(heard, expected);
    EXPECT_EQ(game.timeLeft(), 0);
    EXPECT_EQ(std::string(game.messageText().c_str()), "Time is up!");
    EXPECT_EQ(app.loopResult, kLoopSnakeLost);
    EXPECT_EQ(game.lives(), 1);
    EXPECT_EQ(game.snake().normalInterval(), 64 - 16);
    game.unloadLevel();
}

TEST_F(Game, SnakesPerSkillAndGameOverExactlyWithTheLast) {
    zone({kFoodAhead});
    listenToSounds();
    for (const auto& [skill, lives] :
         std::vector<std::pair<int, int>>{{kSkillEasy, 3}, {kSkillNormal, 2}, {kSkillHard, 1}}) {
        currentSkill = skill;
        game.startGame();
        EXPECT_EQ(game.lives(), lives);
        EXPECT_EQ(game.levelNumber(), 1);
        EXPECT_EQ(game.score(), 0);
        EXPECT_FALSE(game.cheatsUsed());
        for (int left = lives - 1; left >= 0; --left) {
            game.loseSnake();
            EXPECT_EQ(game.lives(), left);
            EXPECT_EQ(app.loopResult, left > 0 ? kLoopSnakeLost : kLoopGameOver);
            EXPECT_EQ(sounds(),
                      left > 0 ? std::vector<std::string>{} : std::vector<std::string>{"9"});
        }
    }
}

TEST_F(Game, TheViewIsCentredOnTheMapAndTheScrollOnTheHead) {
    struct Row {
        int columns, rows, headColumn, headRow;
        int viewX, viewY, viewWidth, viewHeight, scrollX, scrollY;
    };
    const std::vector<Row> table = {
        {9, 3, 3, 1, 230, 220, 180, 60, 0, 0},       // small: centred below the strip
        {64, 48, 40, 30, 0, 20, 640, 460, 480, 370}, // the head in the middle
        {64, 48, 61, 46, 0, 20, 640, 460, 640, 500}, // held inside the map
        {40, 20, 3, 2, 0, 50, 640, 400, 0, 0},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(std::to_string(row.columns) + "x" + std::to_string(row.rows));
        std::filesystem::remove_all(dir.file("Data/Levels"));
        levelCatalogue.clearZones();
        zone({openMap(row.columns, row.rows, row.headColumn, row.headRow)}, "Test",
             "Backcolor=RGB(22,52,20)\n");
        loadFirstLevel();
        TileMap& map = game.map();
        EXPECT_EQ(map.getViewX(), row.viewX);
        EXPECT_EQ(map.getViewY(), row.viewY);
        EXPECT_EQ(map.getViewWidth(), row.viewWidth);
        EXPECT_EQ(map.getViewHeight(), row.viewHeight);
        EXPECT_EQ(game.scrollX(), row.scrollX);
        EXPECT_EQ(game.scrollY(), row.scrollY);
        EXPECT_EQ(map.getScrollX(), row.scrollX);
        EXPECT_EQ(map.getScrollY(), row.scrollY);
        game.unloadLevel();
    }
}

TEST_F(Game, TheScrollFollowsTheHeadByATenthOfTheDistancePastTheMargin) {
    // Each step: (column, row) of the head and the scroll after it. A margin
    // of 8 blocks; past it the scroll moves a tenth of the way, plus 1.
    const std::vector<std::vector<std::array<int, 4>>> runs = {
        {{34, 25, 21, 21}, {9, 9, 20, 20}},   // just past the margin: 1
        {{33, 24, 19, 19}, {25, 16, 20, 20}}, // on the far side
        {{63, 47, 79, 65}, {63, 47, 150, 123}, {20, 20, 150, 123}},
        {{0, 0, 0, 0}},
    };
    zone({openMap(64, 48, 3, 2)});
    for (const auto& run : runs) {
        loadFirstLevel();
        for (const auto& [column, row, x, y] : run) {
            SCOPED_TRACE(std::to_string(column) + "," + std::to_string(row));
            EXPECT_EQ(game.scrollFollow(column, row), x != game.scrollX() || y != game.scrollY());
            EXPECT_EQ(game.scrollX(), x);
            EXPECT_EQ(game.scrollY(), y);
        }
        game.unloadLevel();
    }
    // Far past the edge the scroll stops at the map's last window.
    loadFirstLevel();
    for (int i = 0; i < 100; ++i)
        game.scrollFollow(63, 47);
    EXPECT_EQ(game.scrollX(), 1280 - 640);
    EXPECT_EQ(game.scrollY(), 960 - 460);
    game.unloadLevel();
    // While the snake plays, the map's window goes with it.
    std::filesystem::remove_all(dir.file("Data/Levels"));
    levelCatalogue.clearZones();
    zone({openMap(64, 48, 20, 20)});
    loadFirstLevel();
    frames(50);
    EXPECT_GT(game.scrollX(), 80);
    EXPECT_EQ(game.map().getScrollX(), game.scrollX());
    game.unloadLevel();
}

TEST_F(Game, PauseIsWrittenOverTheField) {
    zone({kFoodAhead});
    loadFirstLevel();
    auto whiteInTheMiddle = [&] {
        int n = 0;
        back->Lock();
        for (int y = 200; y < 260; ++y)
            for (int x = 0; x < 640; ++x)
                n += (back->GetPixel(x, y) & 0xFFFFFF) ==
                     (app.screen->ConvertColor(0xFFFFFF) & 0xFFFFFF);
        back->Unlock();
        return n;
    };
    game.levelFrame();
    const int playing = whiteInTheMiddle();
    app.gamePaused = true;
    game.levelFrame();
    EXPECT_GT(whiteInTheMiddle(), playing + 50);
    game.unloadLevel();
}

TEST_F(Game, HeldKeysDoNotActAgainInTheNextLoop) {
    const LevelSpec waiting = {{"######", "#o...#", "#BB>.#", "#....#", "######"},
                               "Time=60,60,60\nStartSpeed=40,40,40\n"};
    // Escape continues past the message of level 1 and is still held when
    // level 2 starts: it must be let go before it leaves the level.
    zone({kFoodAhead, waiting});
    key(20, kScanEscape, true);
    key(100, kScanEscape, false);
    limitFrames(150);
    game.run();
    EXPECT_EQ(app.loopResult, kLoopQuit);
    EXPECT_EQ(game.levelNumber(), 2);
}

TEST_F(Game, PauseWhileTheMessageShowsDisarmsFire) {
    // Fire pressed right after pause and held does not continue.
    zone({kFoodAhead});
    key(20, kScanP, true);
    key(21, kScanFire, true);
    key(60, kScanP, false);
    limitFrames(150);
    game.run();
    EXPECT_EQ(app.loopResult, kLoopQuit);
    EXPECT_EQ(statistics.gamesPlayed, 0);
}

TEST_F(Game, AMissingPictureStopsTheLevelWithItsMessage) {
    zone({kFoodAhead});
    for (const auto& [file, message] : std::vector<std::pair<std::string, std::string>>{
             {"items20.bmp", "Could not load palette from file .\\Data\\Gfx\\items20.bmp\n"},
             {"score.bmp", "Could not load file .\\Data\\Gfx\\score.bmp into surface\n"}}) {
        std::filesystem::remove(dir.file("Data/Gfx/" + file));
        game.startGame();
        EXPECT_FALSE(game.loadLevel()) << file;
        const std::string log = dir.read("log.txt");
        EXPECT_EQ(log.substr(log.size() - std::min(log.size(), message.size())), message);
    }
}

TEST_F(Game, NoGameStartsForAZoneTheCatalogueDoesNotHold) {
    zone({kFoodAhead});
    for (const int index : {1, -1}) {
        SCOPED_TRACE(index);
        currentZone = index;
        game.run();
        EXPECT_FALSE(app.quitPosted);
        EXPECT_EQ(statistics.gamesPlayed, 0);
        const std::string log = dir.read("log.txt");
        const std::string line =
            "No game started: there is no zone " + std::to_string(index) + " (1 zones found)\n";
        EXPECT_EQ(log.substr(log.size() - std::min(log.size(), line.size())), line);
    }
}

TEST_F(Game, AMapOfOtherThanTwentyPixelBlocksIsNotPlayed) {
    zone({kFoodAhead});
    FmpMap small;
    small.mapWidth = 4;
    small.mapHeight = 3;
    small.blockWidth = small.blockHeight = 16;
    small.graphics.push_back(std::vector<uint32_t>(256, 0));
    small.blocks.resize(16);
    small.layers[0] = {0, 0, 0, 0, 0, 7, 1, 0, 0, 0, 0, 0};
    ASSERT_TRUE(writeFmpFile(small, dir.file("Data/Levels/Test/level1.fmp")));
    game.startGame();
    EXPECT_FALSE(game.loadLevel());
    EXPECT_FALSE(game.map().isLoaded());
    const std::string log = dir.read("log.txt");
    const std::string message = "Could not load level!!\n .\\Data\\Levels\\Test\\level1.fmp\n";
    EXPECT_EQ(log.substr(log.size() - std::min(log.size(), message.size())), message);
}

TEST_F(Game, ResumingFromTheEscapeMenuClearsTheMenuAwayBesideASmallMap) {
    zone({{{"######", "#o...#", "#BB>.#", "#....#", "######"},
           "Time=60,60,60\nStartSpeed=40,40,40\n"}});
    tap(5, kScanEscape);
    tap(30, kScanEnter); // "Resume Game"
    limitFrames(60);
    game.run();
    EXPECT_EQ(app.loopResult, kLoopQuit);
    // Below the strip, only the map's window (120 x 100 in the middle) is
    // drawn each frame; the rest is background again.
    int leftOver = 0;
    back->Lock();
    for (int y = 20; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            if (x < 260 || x >= 380 || y < 200 || y >= 300)
                leftOver += (back->GetPixel(x, y) & 0xFFFFFF) != 0;
    back->Unlock();
    EXPECT_EQ(leftOver, 0);
}

TEST_F(Game, AKeyPressedAndLetGoBetweenTwoFramesCountsAtTheNext) {
    zone({kFoodAhead});
    loadFirstLevel();
    game.levelFrame();
    auto key = [&](bool down) {
        PlatformEvent event;
        event.type = down ? PlatformEvent::KeyDown : PlatformEvent::KeyUp;
        event.scancode = kScanDown;
        platform.pushEvent(event);
        ASSERT_TRUE(platform.pollEvent(event)); // as the loop would, between frames
    };
    // The first wait after a frame starts the state afresh; the waits after
    // it only add what they see.
    game.levelIdle();
    key(true);
    game.levelIdle();
    key(false);
    game.levelIdle();
    game.levelIdle();
    EXPECT_EQ(inputManager->state(0)->vertical, 1);
    game.levelFrame();
    game.levelIdle();
    EXPECT_EQ(inputManager->state(0)->vertical, 0);
    game.unloadLevel();
}

// A press of Up while the snake runs right, let go before the step that
// reads the controls, still turns the snake, whatever the phase of the step
// it comes in: the snake keeps the last new direction until its step.
TEST_F(Game, AnUpPressShorterThanAStepTurnsTheSnakeAtEveryPhase) {
    const struct {
        int startSpeed, pressFrames; // a step every startSpeed + 1 frames
    } cases[] = {{11, 2}, {11, 7}, {11, 17}, {8, 4}, {5, 2}};
    for (const auto& c : cases) {
        std::filesystem::remove_all(dir.file("Data/Levels"));
        levelCatalogue.clearZones();
        LevelSpec level = openMap(30, 7, 3, 3);
        const std::string speed = std::to_string(c.startSpeed);
        level.settings = "Time=60,60,60\nStartSpeed=" + speed + "," + speed + "," + speed +
                         "\nTopSpeed=2,2,2\nIncSpeed=99,99,99\n";
        zone({level});
        const int stepFrames = c.startSpeed + 1;
        int turned = 0;
        for (int phase = 0; phase < 8; ++phase) {
            const int down = platform.framesPresented() + 3 + phase * stepFrames / 8;
            key(down, kScanUp, true);
            key(down + c.pressFrames, kScanUp, false);
            limitFrames(down + c.pressFrames + 2 * stepFrames + 2);
            int highestRow = 3;
            platform.afterPresent = [&](int) {
                int column = 0, row = 0;
                if (game.snake().head())
                    game.snake().headCell(column, row);
                highestRow = std::min(highestRow, game.snake().head() ? row : 3);
            };
            game.run();
            app.quitPosted = false;
            turned += highestRow < 3;
        }
        EXPECT_EQ(turned, 8) << "StartSpeed " << c.startSpeed << ", pressed for " << c.pressFrames
                             << " frames";
    }
}
