// The players that are scripts on the shipped zones, the rules the zones'
// balance keeps, and the zone checker on zones broken in every way it knows.
#include "tools/balance/Balance.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/TempDir.h"
#include "tools/levelc/LevelCompiler.h"

#include "Src/core/GameState.h"
#include "Src/zones/LevelCatalogue.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string kGameDir = LURVANE_GAME_DIR;

// A board from rows of text split by '/': '#' wall, '.' floor, 'o' food,
// 's' shrink, 'r' speed reset, 'p' points, 't' time, digits the snake (0
// its head); the level's clock is 60 s.
Board boardOf(const std::string& rows, int heading, double secondsPerStep, int timeLeft) {
    Board b;
    b.width = static_cast<int>(rows.find('/'));
    b.heading = heading;
    b.secondsPerStep = secondsPerStep;
    b.timeLeft = timeLeft;
    b.levelTime = 60;
    const std::string items = "#.o???????srpt";
    for (char c : rows) {
        const bool body = c >= '0' && c <= '9';
        if (c == '/')
            continue;
        if (c == '0') {
            b.headX = static_cast<int>(b.blocks.size()) % b.width;
            b.headY = static_cast<int>(b.blocks.size()) / b.width;
        }
        b.blocks.push_back(body ? kBlockFloor : static_cast<int>(items.find(c)));
        b.bodyIndex.push_back(body ? c - '0' : -1);
        b.bodyLength += body;
    }
    b.height = static_cast<int>(b.blocks.size()) / b.width;
    return b;
}

TEST(Planner, TakesTheWayTheRulesMakeBest) {
    struct Case {
        const char* what;
        int heading;
        double secondsPerStep;
        int timeLeft;
        int expected;
        std::string board;
    };
    const std::string time = "#######/#.t...#/#0...o#/#######";
    const std::string points = "#######/#.p...#/#0...o#/#######";
    const std::string pocket = "#########/##o######/#.012345#/#......o#/#########";
    const Case cases[] = {
        {"never back: round to the food behind", Snake::kRight, 0.2, 60, Snake::kUp,
         "#######/#.....#/#o..0.#/#######"},
        {"a time item is worth its 10 s", Snake::kRight, 4.75, 30, Snake::kUp, time},
        {"not with the clock full", Snake::kRight, 0.2, 60, Snake::kRight, time},
        {"nor for a detour dearer than that", Snake::kRight, 5.5, 30, Snake::kRight, time},
        {"20 points are worth 4 s", Snake::kRight, 1.9, 60, Snake::kUp, points},
        {"not a dearer detour", Snake::kRight, 2.1, 60, Snake::kRight, points},
        {"round a speed reset", Snake::kRight, 0.2, 60, Snake::kUp,
         "#######/#.....#/#0r..o#/#######"},
        {"through it as the only way", Snake::kRight, 0.2, 60, Snake::kRight,
         "#######/#0r..o#/#######"},
        {"not into a pocket it cannot leave", Snake::kLeft, 0.2, 60, Snake::kDown, pocket},
        {"into it for the last food", Snake::kLeft, 0.2, 60, Snake::kUp,
         "#########/##o######/#.012345#/#.......#/#########"},
        {"no food in reach: the most room", Snake::kLeft, 0.2, 60, Snake::kUp,
         "#######/###...#/##.01##/######o"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(planMove(boardOf(c.board, c.heading, c.secondsPerStep, c.timeLeft)), c.expected);
    }
}

// Levels of clear rates per skill (the same for every player), the
// planner's seconds on Hard of 100 allowed.
LevelResult levelOf(int number, std::array<double, kSkills> rate, double hardSeconds,
                    bool plannerClears = true) {
    LevelResult level;
    level.number = number;
    for (int skill = 0; skill < kSkills; ++skill) {
        SkillResult& r = level.skill[skill];
        r.loaded = true;
        r.timeAllowed = 100;
        r.plannerCleared = plannerClears || skill != 1;
        r.plannerSeconds = skill == 2 ? hardSeconds : 20;
        r.clearRate[0] = r.clearRate[1] = r.clearRate[2] = rate[static_cast<size_t>(skill)];
    }
    return level;
}

TEST(BalanceRules, ListsEveryLevelAndZoneThatBreaksOne) {
    ZoneResult a{"A",
                 0,
                 {levelOf(1, {1, 0.5, 0}, 10), levelOf(2, {0.5, 0.5, 0.25}, 49, false),
                  levelOf(3, {1, 0.75, 0.5}, 50)}};
    ZoneResult b{"B", 1, {LevelResult{}}};
    b.levels[0].number = 1;
    ZoneResult c{"C", 2, {levelOf(1, {1, 0.9, 0.8}, 50)}};
    EXPECT_NEAR(a.difficulty(), (0.5 / 3 + 1.25 / 3 + 0.75) / 3, 1e-9);
    EXPECT_EQ(balanceProblems({a, b, c}),
              (std::vector<std::string>{
                  "A 2 on Normal: the planner does not clear it",
                  "A 2: clear rate does not fall (0.50, 0.50, 0.25)",
                  "A 2 on Hard: the planner uses 49% of the time",
                  "B 1: the level cannot be loaded (see balance --check)",
                  "C: difficulty 0.10, not above the zone before",
              }));
    EXPECT_EQ(formatSummary({a}),
              "zone        rating levels | planner cleared E/N/H | Hard share mean/max | clear "
              "rate E/N/H     | difficulty\n"
              "A                0      3 |         3/ 2/ 3      |        36% /  50%  |  83%  58% "
              " 25%     | 0.44\n");
}

TEST(ShippedBalance, PlannerClearsEveryLevelAndTheBalanceRulesHold) {
    HeadlessGame game;
    std::string error;
    ASSERT_TRUE(game.open(kGameDir, kGameDir + "/Data/Levels", error)) << error;
    ASSERT_EQ(levelCatalogue.getZoneCount(), 8);
#ifdef LURVANE_SANITIZED_BUILD
    // Five times slower under the sanitizers: the planner on Hard only,
    // where it has the least time.
    for (int z = 0; z < levelCatalogue.getZoneCount(); ++z)
        for (int n = 1; n <= levelCatalogue.getLevelCount(z); ++n) {
            Planner planner;
            EXPECT_TRUE(game.play(z, n, kSkillHard, planner).cleared)
                << levelCatalogue.getZoneName(z) << " " << n;
        }
#else
    // The planner on every level and skill, and two seeds of each player.
    const std::vector<ZoneResult> zones = measureZones(game, 2);
    EXPECT_TRUE(balanceProblems(zones).empty()) << formatReport(zones, 2);
#endif
}

// A zone directory of broken zones, each fault with the text the game
// gives for it, and the start of a level the game cannot play.
TEST(ZoneChecker, FindsEveryFaultWithTheGamesOwnTexts) {
    TempDir dir;
    ASSERT_TRUE(copyGamePictures(dir, {"score.bmp", "items20.bmp", "items.bmp"}));
    BlockSheet sheet;
    sheet.width = 320;
    sheet.height = 40;
    sheet.pixels.assign(320 * 40, 0x404040);
    auto map = [&](const std::string& zone, const std::string& name, const std::string& rows) {
        LevelSource level;
        FmpMap fmp;
        std::string error;
        ASSERT_TRUE(parseLevelSource("map\n" + rows, level, error)) << error;
        ASSERT_TRUE(compileLevel(level, sheet, 16, fmp, error)) << error;
        ASSERT_TRUE(writeFmpFile(fmp, dir.file("Data/Levels/" + zone + "/" + name + ".fmp")));
    };
    const std::string levels = dir.file("Data/Levels");
    const std::string good = "######\n#B>o.#\n######\n";
    struct Zone {
        const char* name;
        std::string text;
    };
    const Zone zones[] = {
        {"a", "<Zone>\nSkill=x;\nBackcolor=0X00ff;\n</Zone>\n<Level>\nFilename=good\n"
              "Time=60,50,x;\n</Level>\n<Level>\nTime=1,2,3;\n</Level>\n<Level>\n"
              "Filename=absent\n</Level>\n<Level>\nFilename=good\n"},
        {"b", "<Zone>\nName=B\n"},
        {"c", "<Level>\nFilename=shut\n</Level>\n<Level>\nFilename=\"good\n</Level>\n"},
        {"d", ""},
    };
    for (const Zone& zone : zones) {
        std::filesystem::create_directories(levels + "/" + zone.name);
        if (*zone.name != 'd')
            dir.write("Data/Levels/" + std::string(zone.name) + "/level.txt", zone.text);
        ASSERT_NO_FATAL_FAILURE(map(zone.name, "good", good));
    }
    ASSERT_NO_FATAL_FAILURE(map("c", "shut", "######\n#B>#o#\n######\n"));

    const std::string head = "Error reading levels-File:\n  Filename='" + levels;
    const std::vector<std::string> expected = {
        head + "\\a/level.txt'\n  no number after 'Skill='",
        head + "\\a/level.txt'\n  no color-number after 'Backcolor='\n  must be 0xrrggbb or "
               "RGB(r,g,b)",
        head + "\\a/level.txt'\n  Keyword='Time', expected 3 integers afterwards!",
        head + "\\a/level.txt'\n  For each level a filename is needed!",
        head + "\\a/level.txt'\n  Found <Level> (line 15) but no matching </Level>\n",
        head + "\\b/level.txt'\n  Found <Zone> (line 1) but no matching </Zone>\n",
        head + "\\c/level.txt'\n  End Of File",
        "Cannot load level.txt in directory '" + levels + "\\d'\n",
        "Could not load level!!\n " + levels + "\\a\\absent.fmp",
        levels + "\\c\\shut.fmp: food at column 4, row 1 cannot be reached",
    };
    EXPECT_EQ(checkZones(dir.path(), levels), expected);
    // The game itself still stops at the first fault.
    HeadlessGame game;
    std::string error;
    EXPECT_FALSE(game.open(dir.path(), levels, error));
    EXPECT_EQ(error, expected[0]);
}

} // namespace
