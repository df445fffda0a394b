// Whole games played through the real frame loop: a small zone made with the
// level compiler, a script of key presses frame by frame, and the outcome.
#include "Src/game/GameManager.h"
#include "lib/Random.h"
#include "tests/support/GoldenFrame.h"
#include "tests/support/PlayedGame.h"
#include "tests/support/SurfacePixels.h"
#include "tests/support/ZoneFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

class Game : public played::PlayedGame {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(PlayedGame::SetUp());
        if (IsSkipped())
            return;
        // Tables out of reach: these games end without the high score entry.
        for (int skill = kSkillEasy; skill <= kSkillHard; ++skill)
            for (HighScoreEntry& entry : highScoreManager->getList(skill, 0)->entries)
                entry.score = 1000000;
        options = Options();
    }

    // A zone of the given levels, compiled into Data/Levels, and the only one.
    void zone(const std::vector<LevelSpec>& levels, const std::string& name = "Test",
              const std::string& header = "") {
        std::filesystem::remove_all(dir.file("Data/Levels"));
        writeZone(dir, name, levels, "Skill=1\n" + header, sheetFile);
        ASSERT_TRUE(levelCatalogue.scanZones());
    }
    // Fire taps every 20 frames from the given frame on, to get past messages.
    void keepContinuing(int from, int until = 4000) { PlayedGame::keepContinuing(from, until); }

    // The events raised since the last call: "N", and "2@pan" for food.
    std::vector<std::string> raised() {
        std::vector<std::string> out;
        const std::string calls = sounds.takeCalls().c_str();
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
        raised();
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i)
            game.levelFrame();
    }

    // The last characters of the log, as many as the line expected has.
    std::string logEnd(const std::string& expected) {
        const std::string log = dir.read("log.txt");
        return log.substr(log.size() - std::min(log.size(), expected.size()));
    }

    std::string sheetFile; // a block sheet picture instead of grey blocks
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

TEST_F(Game, ACompletedZoneCountsInTheStatistics) {
    zone({kFoodAhead});
    keepContinuing(40);
    limitFrames(3000);
    game.run();
    EXPECT_EQ(app.loopResult, kLoopZoneCompleted);
    EXPECT_EQ(statistics.gamesPlayed, 1);
    EXPECT_EQ(statistics.zonesCompleted, 1);
    EXPECT_EQ(statistics.levelsDone, 1);
    EXPECT_EQ(statistics.bestScore, game.score());
    EXPECT_EQ(statistics.totalPoints, game.score());
    // Play time counts until the message; a game here lasts well under a minute.
    EXPECT_GT(statistics.totalRunTime.ticks(), 0);
    EXPECT_LT(statistics.totalRunTime.ticks(), TimeSpan::fromParts(0, 0, 1, 0).ticks());
    EXPECT_EQ(statistics.maxGameTime.ticks(), statistics.totalRunTime.ticks());
    EXPECT_FALSE(app.quitPosted);
}

// Whole games from a script of keys, one after the other: how each ends.
TEST_F(Game, ScriptedGamesEndAsTheyShould) {
    const LevelSpec waiting = {{"######", "#o...#", "#BB>.#", "#....#", "######"},
                               "Time=60,60,60\nStartSpeed=40,40,40\n"};
    struct Key {
        int frame, scanCode;
        bool down;
    };
    struct End {
        int loopResult, levelNumber, lives, gamesPlayed;
        const char* message; // the last shown, if any
    };
    // Fire taps every 20 frames from continueFrom on (0: none) go on in the
    // next game: those that take none come first.
    struct Script {
        int skill, continueFrom, frameLimit;
        std::vector<Key> keys; // frames from the start of the game
    };
    const struct {
        const char* what;
        std::vector<LevelSpec> levels;
        Script script;
        End end;
    } cases[] = {
        // Escape continues past the message of level 1 and is still held
        // when level 2 starts: it must be let go before it leaves the level.
        {"a held key does not act again in the next loop",
         {kFoodAhead, waiting},
         {kSkillEasy, 0, 150, {{20, kScanEscape, true}, {100, kScanEscape, false}}},
         {kLoopQuit, 2, 3, 0, nullptr}},
        // Fire pressed right after pause and held does not continue.
        {"pause while the message shows disarms fire",
         {kFoodAhead},
         {kSkillEasy, 0, 150, {{20, kScanP, true}, {21, kScanFire, true}, {60, kScanP, false}}},
         {kLoopQuit, 1, 0, 0, "Congratulations! Zone completed!"}},
        {"crashes cost snakes until game over",
         {kWallAhead},
         {kSkillEasy, 10, 3000, {}},
         {kLoopGameOver, 1, 0, 1, "Sorry, that snake is done!"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        zone(c.levels);
        const Script& script = c.script;
        currentSkill = script.skill;
        statistics = Statistics();
        app.quitPosted = false;
        const int start = frame();
        for (const Key& k : script.keys)
            key(start + k.frame, k.scanCode, k.down);
        if (script.continueFrom)
            keepContinuing(start + script.continueFrom, start + script.frameLimit);
        limitFrames(start + script.frameLimit);
        game.run();
        EXPECT_EQ(app.loopResult, c.end.loopResult);
        EXPECT_EQ(game.levelNumber(), c.end.levelNumber);
        EXPECT_EQ(game.lives(), c.end.lives);
        EXPECT_EQ(statistics.gamesPlayed, c.end.gamesPlayed);
        if (c.end.message) {
            EXPECT_EQ(std::string(game.messageText().c_str()), c.end.message);
        }
    }
}

TEST_F(Game, EverySecondCompletedLevelGivesAnExtraSnake) {
    zone({kFoodAhead, kFoodAhead, kFoodAhead, kWallAhead});
    recordSounds();
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
    const std::vector<std::string> events = raised();
    EXPECT_EQ(count(events, "5"), 3);
    EXPECT_EQ(count(events, "4"), 2); // the extra snake crashes too
    EXPECT_EQ(count(events, "9"), 1);
    // The next game starts afresh.
    game.startGame();
    EXPECT_EQ(game.levelNumber(), 1);
    EXPECT_EQ(game.levelsToExtraSnake(), 2);
    EXPECT_EQ(game.lives(), 1);
}

TEST_F(Game, CheatKeysActOncePerPressAndMarkTheGame) {
    const LevelSpec waiting = {{"######", "#o...#", "#BB>.#", "#....#", "######"},
                               "Time=60,60,60\nStartSpeed=40,40,40\n"};
    zone({kFoodAhead, waiting});
    recordSounds();
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
    const std::vector<std::string> events = raised();
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

// Pressed, pause stops the snake and the clock and writes "Pause" over the
// field: white in the middle band where the level alone shows little.
TEST_F(Game, PauseStopsTheSnakeAndTheClockAndShowsOverTheField) {
    zone({{{"##############################", "#BB>.........................#",
            "#...........................o#", "##############################"},
           "Time=60,60,60\nStartSpeed=8,8,8\n"}});
    std::vector<int> white;
    platform.afterPresent = [&](int f) {
        if (f != 1 && f != 150)
            return;
        white.push_back(0);
        for (uint32_t pixel : pixelsOf(*back, 0, 200, 640, 60))
            white.back() += (pixel & 0xFFFFFF) == (app.screen->ConvertColor(0xFFFFFF) & 0xFFFFFF);
    };
    tap(2, kScanP);
    limitFrames(200);
    game.run();
    EXPECT_EQ(app.loopResult, kLoopQuit);
    int column = 0, row = 0;
    game.snake().headCell(column, row);
    EXPECT_LE(column, 4);
    EXPECT_EQ(game.timeLeft(), 60);
    ASSERT_EQ(white.size(), 2u);
    EXPECT_GT(white[1], white[0] + 50);
}

TEST_F(Game, LevelTitlesDependOnTheZoneNameLength) {
    for (const auto& [name, title] :
         std::vector<std::pair<std::string, std::string>>{{"Thirteen char", "      Level 1 / 1"},
                                                          {"Twelve chars", "Twelve chars 1 / 1"},
                                                          {"Eightchr", "Eightchr 1 / 1"},
                                                          {"Seven77", "Seven77 Zone 1 / 1"}}) {
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
    checkGoldenFrame(*back, "level_frame.ppm");
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
        std::string first = "#BBBBBBBBBBB>.";
        first += row.item;
        first += std::string(18 - first.size(), '.') + "#";
        zone({{{std::string(19, '#'), first, "#" + std::string(15, '.') + "oo#",
                std::string(19, '#')},
               "Time=50,50,50\nStartSpeed=4,4,4\nTopSpeed=2,2,2\nIncSpeed=5,5,5\n"}});
        recordSounds();
        flatTable(2);
        loadFirstLevel();
        game.setTimeLeft(row.timeBefore);
        frames(11);
        EXPECT_EQ(game.score(), row.score);
        EXPECT_EQ(game.snake().segmentCount(), row.segments);
        EXPECT_EQ(game.timeLeft(), row.timeLeft);
        EXPECT_EQ(game.itemsLeft(), row.itemsLeft);
        EXPECT_EQ(game.map().getBlock(14, 1), 1); // eaten items become floor
        EXPECT_EQ(raised(), row.sounds);
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
        zone(std::vector<LevelSpec>(static_cast<size_t>(row.levels), kFoodAhead));
        recordSounds();
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
        EXPECT_EQ(raised(), row.sounds);
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
    recordSounds();
    currentSkill = kSkillNormal;
    loadFirstLevel();
    EXPECT_EQ(game.lives(), 2);
    std::vector<std::string> heard, expected;
    for (int frame = 1; frame <= 12 * 56; ++frame) {
        game.levelFrame();
        for (const std::string& event : raised())
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
    recordSounds();
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
            EXPECT_EQ(raised(),
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
    zone({openMap(64, 48, 20, 20)});
    loadFirstLevel();
    frames(50);
    EXPECT_GT(game.scrollX(), 80);
    EXPECT_EQ(game.map().getScrollX(), game.scrollX());
    game.unloadLevel();
}

// A level that cannot be played is not, and the log says why: a map of
// other than 20-pixel blocks, then the pictures missing one by one.
TEST_F(Game, ALevelWithoutItsPicturesOrOfOtherBlocksStopsWithItsMessage) {
    zone({kFoodAhead});
    FmpMap small;
    small.mapWidth = 4;
    small.mapHeight = 3;
    small.blockWidth = small.blockHeight = 16;
    small.graphics.push_back(std::vector<uint32_t>(256, 0));
    small.blocks.resize(16);
    small.layers[0] = {0, 0, 0, 0, 0, 7, 1, 0, 0, 0, 0, 0};
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { writeFmpFile(small, dir.file("Data/Levels/Test/level1.fmp")); },
         "Could not load level!!\n .\\Data\\Levels\\Test\\level1.fmp\n"},
        {[&] {
             zone({kFoodAhead});
             std::filesystem::remove(dir.file("Data/Gfx/items20.bmp"));
         },
         "Could not load palette from file .\\Data\\Gfx\\items20.bmp\n"},
        {[&] { std::filesystem::remove(dir.file("Data/Gfx/score.bmp")); },
         "Could not load file .\\Data\\Gfx\\score.bmp into surface\n"},
    };
    for (const auto& [change, message] : cases) {
        SCOPED_TRACE(message);
        change();
        game.startGame();
        EXPECT_FALSE(game.loadLevel());
        EXPECT_FALSE(game.map().isLoaded());
        EXPECT_EQ(logEnd(message), message);
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
        const std::string line =
            "No game started: there is no zone " + std::to_string(index) + " (1 zones found)\n";
        EXPECT_EQ(logEnd(line), line);
    }
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
