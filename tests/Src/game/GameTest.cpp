// Whole games played through the real frame loop: a small zone made with the
// level compiler, a script of key presses frame by frame, and the outcome,
// written as a transcript and compared with a checked-in text.
#include "Src/game/GameManager.h"
#include "lib/Random.h"
#include "tests/support/Golden.h"
#include "tests/support/GoldenFrame.h"
#include "tests/support/PlayedGame.h"
#include "tests/support/SurfacePixels.h"
#include "tests/support/ZoneFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <sstream>
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

    // The events raised since the last call: "N", and "2@pan" for food.
    std::string raised() {
        std::string out;
        const std::string calls = sounds.takeCalls().c_str();
        size_t at = 0;
        while ((at = calls.find("playSample e", at)) != std::string::npos) {
            at += 12;
            out += " " + std::to_string(std::stoi(calls.substr(at)));
            if (calls.compare(at, 2, "2.") == 0) {
                const size_t pan = calls.find(' ', calls.find("setPan ", at) + 7) + 1;
                out += "@" + std::to_string(std::stoi(calls.substr(pan)));
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
    // The last two lines of the log.
    std::string logEnd() {
        std::string log = dir.read("log.txt");
        log.pop_back();
        log = log.substr(log.rfind('\n', log.rfind('\n') - 1) + 1);
        std::replace(log.begin(), log.end(), '\n', '|');
        return log;
    }

    // What a player and the stored statistics could tell of the game.
    std::string outcome() {
        const TimeSpan minute = TimeSpan::fromParts(0, 0, 1, 0);
        const int64_t played = statistics.totalRunTime.ticks();
        std::ostringstream out;
        out << loopResultName(app.loopResult) << " level=" << game.levelNumber()
            << " lives=" << game.lives() << " extra-in=" << game.levelsToExtraSnake()
            << " score=" << game.score() << " clock=" << game.timeLeft()
            << (game.cheatsUsed() ? " cheats" : "")
            << (levelCatalogue.isZoneCompleted(0) ? " zone-marked" : "")
            << (app.quitPosted ? " quit" : "") << " games=" << statistics.gamesPlayed
            << " levels=" << statistics.levelsDone << " zones=" << statistics.zonesCompleted
            << " best=" << statistics.bestScore << " total=" << statistics.totalPoints << " time="
            << (played <= 0               ? "0"
                : played < minute.ticks() ? "<1m"
                                          : ">=1m")
            << (statistics.maxGameTime.ticks() == played ? "" : " longest-differs") << " msg=\""
            << game.messageText().c_str() << "\" events=" << raised();
        return out.str();
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
const LevelSpec kWaiting = {{"######", "#o...#", "#BB>.#", "#....#", "######"},
                            "Time=60,60,60\nStartSpeed=40,40,40\n"};
const LevelSpec kLongRun = {{"##########", "#BB>....o#", "#........#", "##########"}};

} // namespace

// Whole games from a script of keys (see scriptKeys), one after the other;
// the line after each is the next game started afresh.
TEST_F(Game, ScriptedGamesEndAsTheTranscriptSays) {
    const struct {
        const char* what;
        std::vector<LevelSpec> levels;
        int skill;
        const char* keys; // frames from the start of the game
        int frameLimit;
        int probe = 0; // the frame whose picture is looked at
        int zoneIndex = 0;
        bool quiet = false; // sound effects off
    } cases[] = {
        {"a completed zone counts in the statistics", {kFoodAhead}, kSkillEasy, "40-60:fire", 60},
        {"with sound effects off nothing sounds",
         {kFoodAhead},
         kSkillEasy,
         "40-60:fire",
         60,
         0,
         0,
         true},
        // Escape continues past the message of level 1 and is still held
        // when level 2 starts: it must be let go before it leaves the level.
        {"a held key does not act again in the next loop",
         {kFoodAhead, kWaiting},
         kSkillEasy,
         "20:esc+ 100:esc-",
         150},
        {"pause while the message shows disarms fire",
         {kFoodAhead},
         kSkillEasy,
         "20:p+ 21:fire+ 60:p-",
         150},
        {"crashes cost snakes until game over", {kWallAhead}, kSkillEasy, "10-90:fire", 90},
        {"every second completed level gives an extra snake",
         {kFoodAhead, kFoodAhead, kFoodAhead, kWallAhead},
         kSkillHard,
         "40-140:fire",
         140},
        // L ends the level and is still held as the next starts; K held
        // costs one snake only, pressed again the next.
        {"cheat keys act once per press and mark the game",
         {kFoodAhead, kWaiting},
         kSkillEasy,
         "3:l+ 45:l- 30-200:fire 260:k+ 300-400:fire 400:k- 420:k 450-520:fire",
         600},
        {"L alone keeps the zone unmarked", {kLongRun}, kSkillHard, "3:l 30-50:fire", 50},
        {"K alone keeps the zone unmarked", {kLongRun}, kSkillHard, "3:k 30-50:fire", 50},
        {"no game for zone 1 of one", {kFoodAhead}, kSkillEasy, "", 100, 0, 1},
        {"no game for zone -1", {kFoodAhead}, kSkillEasy, "", 100, 0, -1},
        // Pause stops the snake and the clock and writes "Pause" over the
        // field, white in the middle band.
        {"pause",
         {{{"##############################", "#BB>.........................#",
            "#...........................o#", "##############################"},
           "Time=60,60,60\nStartSpeed=8,8,8\n"}},
         kSkillEasy,
         "2:p",
         200,
         150},
        // Beside a small map only its window is drawn each frame: the escape
        // menu is cleared away after "Resume Game".
        {"resumed beside a small map", {kWaiting}, kSkillEasy, "5:esc 30:enter", 60, 59},
    };
    std::string transcript;
    for (const auto& c : cases) {
        zone(c.levels);
        recordSounds();
        currentSkill = c.skill;
        currentZone = c.zoneIndex;
        options.soundEffects = !c.quiet;
        statistics = Statistics();
        app.quitPosted = false;
        const int start = frame();
        scriptKeys(platform, c.keys, start);
        limitFrames(start + c.frameLimit);
        std::string probe;
        platform.afterPresent = [&](int f) {
            if (f != start + c.probe || !c.probe)
                return;
            const TileMap& map = game.map();
            const uint32_t white = app.screen->ConvertColor(0xFFFFFF) & 0xFFFFFF;
            int band = 0, outside = 0;
            std::vector<uint32_t> pixels = pixelsOf(*back, 0, 0, 640, 480);
            for (int i = 20 * 640; i < 480 * 640; ++i) {
                const int x = i % 640, y = i / 640;
                band += y >= 200 && y < 260 && (pixels[i] & 0xFFFFFF) == white;
                outside += (x < map.getViewX() || x >= map.getViewX() + map.getViewWidth() ||
                            y < map.getViewY() || y >= map.getViewY() + map.getViewHeight()) &&
                           (pixels[i] & 0xFFFFFF) != 0;
            }
            int column = 0, row = 0;
            game.snake().headCell(column, row);
            probe = "head at " + std::to_string(column) + "," + std::to_string(row) +
                    ", picture: white in the middle band=" + std::to_string(band) +
                    " drawn outside the map=" + std::to_string(outside) + "\n";
        };
        game.run();
        platform.afterPresent = nullptr;
        transcript +=
            std::string("# ") + c.what + "\n" + outcome() + "\nlog: " + logEnd() + "\n" + probe;
        currentZone = 0;
        game.startGame();
        transcript += "next game: " + outcome() + "\n";
        finishScript(start + c.frameLimit);
    }
    checkGoldenText(LURVANE_TEST_GOLDEN_DIR "/game_scripts.txt", transcript);
}

// Levels loaded and driven frame by frame: titles, items, the end count,
// the clock, snakes per skill, the view and scroll, and levels that cannot
// be played.
TEST_F(Game, LevelsPlayAsTheTranscriptSays) {
    std::string out;
    auto line = [&out](const auto&... parts) {
        std::ostringstream text;
        (text << ... << parts);
        out += text.str() + "\n";
    };
    recordSounds();
    for (const std::string name : {"Thirteen char", "Twelve chars", "Eightchr", "Seven77"}) {
        zone({kFoodAhead}, name);
        game.startGame();
        EXPECT_TRUE(game.loadLevel());
        const std::string title = game.levelTitle().c_str();
        game.unloadLevel();
        line("title of zone ", name, ": \"", title,
             "\" snake after unload=", game.snake().head() != nullptr);
    }

    // The snake (12 segments) steps on frames 1, 6 and 11 and eats the item
    // on frame 6, from column 13 of 19. One entry of 2 points is ahead in
    // the table; passing it sounds the rank event.
    for (const auto& [item, timeBefore] : std::vector<std::pair<char, int>>{
             {'o', 30}, {'s', 30}, {'r', 30}, {'$', 30}, {'t', 30}, {'t', 45}}) {
        std::string first = "#BBBBBBBBBBB>." + std::string(1, item);
        first += std::string(18 - first.size(), '.') + "#";
        zone({{{std::string(19, '#'), first, "#" + std::string(15, '.') + "oo#",
                std::string(19, '#')},
               "Time=50,50,50\nStartSpeed=4,4,4\nTopSpeed=2,2,2\nIncSpeed=5,5,5\n"}});
        flatTable(2);
        loadFirstLevel();
        game.setTimeLeft(timeBefore);
        frames(11);
        line("item ", item, " with ", timeBefore, "s left: score=", game.score(),
             " segments=", game.snake().segmentCount(), " time=", game.timeLeft(),
             " items=", game.itemsLeft(), " block after=", game.map().getBlock(14, 1),
             " events=", raised());
        game.unloadLevel();
    }

    // 3 segments, 2 seconds and 2 snakes left: the count moves on every
    // second frame; or the player continues after a few frames.
    for (const auto& [levels, finishAfter] :
         std::vector<std::pair<int, int>>{{1, 0}, {2, 0}, {1, 4}, {2, 4}}) {
        zone(std::vector<LevelSpec>(static_cast<size_t>(levels), kFoodAhead));
        currentSkill = kSkillNormal;
        flatTable(0);
        loadFirstLevel();
        game.setItemsLeft(0);
        game.setTimeLeft(2);
        std::string scores;
        frames(finishAfter);
        if (finishAfter)
            game.finishBonus();
        for (int i = 0; i < (finishAfter ? 1 : 16); ++i) {
            if (!finishAfter)
                game.levelFrame();
            scores += " " + std::to_string(game.score());
        }
        line("end count, ", levels, " levels, continued after ", finishAfter, ": scores", scores,
             " segments=", game.snake().segmentCount(), " time=", game.timeLeft(), " ", outcome());
        game.unloadLevel();
    }

    // The snake stops in front of the wall and waits; the clock runs on.
    zone({{{"######", "#o...#", "#BB>.#", "#....#", "######"},
           "Time=12,12,12\nStartSpeed=4,4,4\nTopSpeed=2,2,2\nIncSpeed=5,5,5\n"}});
    currentSkill = kSkillNormal;
    loadFirstLevel();
    for (int frame = 1; frame <= 12 * 56; ++frame) {
        game.levelFrame();
        const std::string events = raised();
        if (!events.empty() || frame % 56 == 0)
            line("clock at frame ", frame, ":", events, " time=", game.timeLeft(),
                 " interval=", game.snake().normalInterval());
    }
    line("clock: ", outcome());
    game.unloadLevel();

    // The view centred on the map, the scroll on the head.
    for (const auto& [columns, rows, headColumn, headRow] : std::vector<std::array<int, 4>>{
             {9, 3, 3, 1}, {64, 48, 40, 30}, {64, 48, 61, 46}, {40, 20, 3, 2}}) {
        zone({openMap(columns, rows, headColumn, headRow)}, "Test", "Backcolor=RGB(22,52,20)\n");
        loadFirstLevel();
        const TileMap& map = game.map();
        line("map ", columns, "x", rows, ", head at ", headColumn, ",", headRow,
             ": view=", map.getViewX(), ",", map.getViewY(), " ", map.getViewWidth(), "x",
             map.getViewHeight(), " scroll=", game.scrollX(), ",", game.scrollY(),
             " map scroll=", map.getScrollX(), ",", map.getScrollY());
        game.unloadLevel();
    }

    // The scroll follows the head by a tenth of the distance past a margin
    // of 8 blocks, plus 1; each run from a fresh level.
    zone({openMap(64, 48, 3, 2)});
    for (const std::vector<std::array<int, 3>>& run :
         std::vector<std::vector<std::array<int, 3>>>{{{34, 25, 1}, {9, 9, 1}},
                                                      {{33, 24, 1}, {25, 16, 1}},
                                                      {{63, 47, 1}, {63, 47, 1}, {20, 20, 1}},
                                                      {{0, 0, 1}},
                                                      {{63, 47, 100}}}) {
        loadFirstLevel();
        for (const auto& [column, row, times] : run) {
            bool moved = false;
            for (int i = 0; i < times; ++i)
                moved = game.scrollFollow(column, row);
            line("follow ", column, ",", row, " x", times, ": moved=", moved,
                 " scroll=", game.scrollX(), ",", game.scrollY());
        }
        game.unloadLevel();
    }
    zone({openMap(64, 48, 20, 20)});
    loadFirstLevel();
    frames(50);
    line("after 50 frames from 20,20: scroll=", game.scrollX(), ",", game.scrollY(),
         " map scroll=", game.map().getScrollX());
    game.unloadLevel();

    // A map of other than 20-pixel blocks, then the pictures missing one by
    // one: the level is not played and the log says why.
    FmpMap small;
    small.mapWidth = 4;
    small.mapHeight = 3;
    small.blockWidth = small.blockHeight = 16;
    small.graphics.push_back(std::vector<uint32_t>(256, 0));
    small.blocks.resize(16);
    small.layers[0] = {0, 0, 0, 0, 0, 7, 1, 0, 0, 0, 0, 0};
    const std::pair<const char*, std::function<void()>> broken[] = {
        {"16-pixel blocks", [&] { writeFmpFile(small, dir.file("Data/Levels/Test/level1.fmp")); }},
        {"no items20.bmp",
         [&] {
             zone({kFoodAhead});
             std::filesystem::remove(dir.file("Data/Gfx/items20.bmp"));
         }},
        {"no score.bmp", [&] { std::filesystem::remove(dir.file("Data/Gfx/score.bmp")); }},
    };
    for (const auto& [what, change] : broken) {
        change();
        game.startGame();
        const bool loaded = game.loadLevel();
        line(what, ": loaded=", loaded, " map=", game.map().isLoaded(), " log: ", logEnd());
    }
    checkGoldenText(LURVANE_TEST_GOLDEN_DIR "/game_levels.txt", out);
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
            platform.keyAtFrame(down, kScanUp, true);
            platform.keyAtFrame(down + c.pressFrames, kScanUp, false);
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
