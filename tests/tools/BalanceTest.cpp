// The scripted players, the balance measured and kept, and the zone checker.
#include "tools/balance/Balance.h"
#include "tests/support/Golden.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/LineTranscript.h"
#include "tests/support/TempDir.h"
#include "tools/levelc/LevelCompiler.h"
#include "tools/levelc/LevelSource.h"

#include "Src/core/GameState.h"
#include "Src/zones/LevelCatalogue.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

const std::string kGameDir = LURVANE_GAME_DIR;
constexpr int up = Snake::kUp, right = Snake::kRight, down = Snake::kDown, left = Snake::kLeft;

// A board of level source rows split by '/', the snake's segments 0-9, A-Z from its head.
Board boardOf(const std::string& rows, int heading, double secondsPerStep, int timeLeft) {
    Board b;
    b.width = static_cast<int>(rows.find('/')), b.heading = heading, b.levelTime = 60;
    b.timeLeft = timeLeft, b.secondsPerStep = secondsPerStep;
    for (char c : rows) {
        const int body = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'Z' ? c - 'A' + 10 : -1;
        if (body == 0)
            b.headX = static_cast<int>(b.blocks.size()) % b.width, b.headY = b.height;
        b.height += c == '/';
        if (c != '/') {
            b.blocks.push_back(body >= 0 ? kBlockFloor : defaultLegend(c));
            b.bodyIndex.push_back(body);
            b.bodyLength += body >= 0;
        }
    }
    ++b.height;
    return b;
}

TEST(Planner, TakesTheWayTheRulesMakeBest) {
    const std::string time = "#######/#.t...#/#0...o#/#######";
    const std::string points = "#######/#.$...#/#0...o#/#######";
    const std::string pocket = "#########/##o######/#.012345#/#......o#/#########";
    // What, heading, seconds per step, seconds left, the move, the board.
    const std::tuple<const char*, int, double, int, int, std::string> cases[] = {
        {"never back: round to the food behind", right, 0.2, 60, up, "#######/#.....#/#o..0.#"},
        {"a time item is worth its 10 s", right, 4.75, 30, up, time},
        {"not with the clock full", right, 0.2, 60, right, time},
        {"nor for a detour dearer than that", right, 5.25, 30, right, time},
        {"20 points are worth 4 s", right, 1.9, 60, up, points},
        {"not a dearer detour", right, 2.05, 60, right, points},
        {"round a speed reset", right, 0.2, 60, up, "#######/#.....#/#0r..o#/#######"},
        {"through it as the only way", right, 0.2, 60, right, "#######/#0r..o#/#######"},
        {"not into a pocket it cannot leave", left, 0.2, 60, down, pocket},
        {"into it for the last food", left, 0.2, 60, up,
         "#########/##o######/#.012345#/#.......#/#########"},
        {"no food in reach: the most room", left, 0.2, 60, up, "#######/###...#/##.01##/######o"},
        {"no food: the room its present length leaves", up, 0.2, 60, left, "#.0./.21."},
        {"a shrink item leaves half the snake", right, 0.2, 60, right, "10.89/2s#7A/3456B"},
        {"the shrink item when no food is safe", up, 0.2, 60, up, "s..o/0s.#/145./236./#.7./..#o"},
        {"the head is body on the way on from an item", down, 0.7, 60, left, ".o1$/..0."},
        {"no item out of reach", left, 1.5, 46, left, "t../##o/o01"},
        {"of foods as near, the first in the rows", up, 0.2, 60, left, "o.0.o/..1.."},
        {"a time item worth 1 s for a shorter detour", right, 0.2, 59, up, time},
        {"the food whose room holds the grown snake", left, 0.2, 60, left, "oo2/o01"},
        {"the room after a turn counts from its last step", right, 0.2, 60, right, "2.oo./10..."},
        {"a snake of one cell always has its tail in reach", up, 0.2, 60, right, "#o#/o0."},
        {"a shrink item next to the head", up, 0.2, 60, left, "s0.o/o125/..34"},
    };
    for (const auto& [what, heading, secondsPerStep, timeLeft, expected, board] : cases) {
        SCOPED_TRACE(what);
        EXPECT_EQ(planMove(boardOf(board, heading, secondsPerStep, timeLeft)), expected);
    }
    // A bold plan when no way is safe: the most room, the first of equals.
    EXPECT_EQ(planMove(boardOf("o0o/.1.", up, 0.2, 60), true), left);
    ControlState control;
    control.horizontal = 1;
    holdDirection(-1, control); // no direction: no key held
    EXPECT_EQ(std::tuple(control.horizontal, control.vertical), std::tuple(0, 0));
}

// Clear rates per skill for every player; the planner uses 20 of 100 s, or hardSeconds on Hard.
LevelResult levelOf(int number, std::array<double, kSkills> rate, double hardSeconds,
                    bool normalCleared = true) {
    const auto skill = [&](size_t s, bool cleared, double seconds) {
        return SkillResult{true, 100, cleared, seconds, 0, {rate[s], rate[s], rate[s]}, 0};
    };
    return {number, {skill(0, true, 20), skill(1, normalCleared, 20), skill(2, true, hardSeconds)}};
}

TEST(BalanceRules, ListsEveryLevelAndZoneThatBreaksOne) {
    ZoneResult a{
        "A", 0, {levelOf(1, {1, 0.5, 0.1}, 14), levelOf(2, {0.5, 0.5, 0.25}, 40.6, false)}};
    a.levels.push_back(levelOf(3, {1, 0.75, 0.5}, 52));
    a.levels[1].skill[1] = {true, 100, false, 20, 2, {0.75, 0.5, 0.25}, 12.5};
    const ZoneResult b{"B", 1, {LevelResult{1, {}}}};
    const ZoneResult c{"C", 2, {levelOf(1, {1, 0.9, 0.8}, 50)}}, d{"D", 3, c.levels}, e{"E", 4, {}};
    std::string transcript;
    for (const std::string& problem : balanceProblems({a, b, c, d, e}))
        transcript += problem + "\n";
    transcript += formatSummary({a}) + formatReport({a}, 2);
    checkGoldenText(LURVANE_GOLDEN_DIR "/balance-rules.txt", transcript);
}

// The game's pictures, and levels made from source rows.
struct ZoneDir {
    TempDir dir;
    const std::string levels = dir.file("Data/Levels");
    bool pictures = copyGamePictures(dir, {"score.bmp", "items20.bmp", "items.bmp"});
    void level(const std::string& zone, const std::string& name, const std::string& rows) {
        const BlockSheet sheet{320, 40, std::vector<uint32_t>(320 * 40, 0x404040)};
        LevelSource level;
        FmpMap fmp;
        std::string error;
        ASSERT_TRUE(parseLevelSource("map\n" + rows, level, error)) << error;
        ASSERT_TRUE(compileLevel(level, sheet, 16, fmp, error)) << error;
        std::filesystem::create_directories(levels + "/" + zone);
        ASSERT_TRUE(writeFmpFile(fmp, levels + "/" + zone + "/" + name + ".fmp"));
    }
};

// Two zones of a level cleared after a turn and one lost at once against a wall.
TEST(Measure, PlaysEveryLevelOfEveryZoneOnEverySkill) {
    ZoneDir z;
    ASSERT_TRUE(z.pictures);
    const std::string turn = "<Level>\nFilename=turn\nTime=60,50,40;\n</Level>\n";
    const std::string wall = "<Level>\nFilename=wall\nTime=6,5,4;\n</Level>\n";
    for (const char* zone : {"a", "b"}) {
        ASSERT_NO_FATAL_FAILURE(z.level(zone, "turn", "#####\n#B>##\n#..o#\n#####\n"));
        ASSERT_NO_FATAL_FAILURE(z.level(zone, "wall", "######\n#o.B>#\n######\n"));
    }
    z.dir.write("Data/Levels/a/level.txt", "<Zone>\nName=Far\nSkill=3\n</Zone>\n" + wall + turn);
    z.dir.write("Data/Levels/b/level.txt", "<Zone>\nName=Near\nSkill=1\n</Zone>\n" + turn + wall);
    HeadlessGame game;
    std::string error;
    ASSERT_TRUE(game.open(z.dir.path(), z.levels, error)) << error;
    const std::vector<ZoneResult> zones = measureZones(game, 2);
    EXPECT_EQ(measureLevel(game, 0, 1, kSkillEasy, 1).clearRate[1], 1); // one seed
    // Loaded, time allowed, planner cleared, lost, clear rate, the planner's
    // time and the average player's.
    std::ostringstream transcript;
    for (const ZoneResult& measured : zones)
        for (const LevelResult& l : measured.levels)
            for (const SkillResult& r : l.skill)
                transcript << measured.name << " " << measured.rating << " " << l.number << ": "
                           << r.loaded << " " << r.timeAllowed << " " << r.plannerCleared << " "
                           << r.snakesLost << " " << r.meanClearRate() << " " << r.plannerSeconds
                           << " " << r.modelSeconds << "\n";
    checkGoldenText(LURVANE_GOLDEN_DIR "/balance-measure.txt", transcript.str());
    // What the players see of the turn level as it starts.
    ASSERT_TRUE(game.load(0, 1, kSkillEasy, error)) << error;
    const auto seen = [](const Board& b) {
        return std::tuple(b.blocks, b.bodyIndex, b.bodyLength, b.headX, b.headY, b.heading,
                          b.timeLeft, b.levelTime, b.secondsPerStep > 0);
    };
    EXPECT_EQ(seen(readBoard(game.game())), seen(boardOf("#####/#10##/#..o#/#####", right, 1, 60)));
    // A player looks first within its reaction time, and turns down or wrongly up.
    for (const double wrongTurn : {0.0, 1.0}) {
        std::set<int> firstLooks;
        for (uint32_t seed = 0; seed < 64; ++seed) {
            PlayerModel player(8, wrongTurn, seed);
            player.startLevel();
            int frame = 0;
            while (frame < 8 && player.direction(game.game(), frame) < 0)
                ++frame;
            firstLooks.insert(frame);
            EXPECT_EQ(player.direction(game.game(), frame + 1), wrongTurn > 0 ? up : down);
        }
        EXPECT_EQ(firstLooks.size(), 8u);
    }
    game.game().unloadLevel();
    EXPECT_LT(plotDifficulty(zones).size(), 40000u); // deflated: 1.3 MB stored
}

TEST(ShippedBalance, PlannerClearsEveryLevelAndTheBalanceRulesHold) {
    HeadlessGame game;
    std::string error;
    ASSERT_TRUE(game.open(kGameDir, kGameDir + "/Data/Levels", error)) << error;
    ASSERT_EQ(levelCatalogue.getZoneCount(), 8);
#ifdef LURVANE_SANITIZED_BUILD
    // Five times slower under the sanitizers: the planner on Hard only.
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

// Broken zones, each fault with the game's own text, and a level that cannot be played.
TEST(ZoneChecker, FindsEveryFaultWithTheGamesOwnTexts) {
    ZoneDir z;
    ASSERT_TRUE(z.pictures);
    const std::string& levels = z.levels;
    const std::pair<const char*, std::string> zones[] = {
        {"a", "<Zone>\nSkill=x;\nBackcolor=0X00ff;\n</Zone>\n<Level>\nFilename=good\n"
              "Time=60,50,x;\n</Level>\n<Level>\nTime=1,2,3;\n</Level>\n<Level>\n"
              "Filename=absent\n</Level>\n<Level>\nFilename=good\n"},
        {"b", "<Zone>\nName=B\n"},
        {"c", "<Level>\nFilename=shut\n</Level>\n<Level>\nFilename=\"good\n</Level>\n"},
        {"d", ""},
    };
    for (const auto& [name, text] : zones) {
        if (*name != 'd')
            z.dir.write("Data/Levels/" + std::string(name) + "/level.txt", text);
        ASSERT_NO_FATAL_FAILURE(z.level(name, "good", "######\n#B>o.#\n######\n"));
    }
    ASSERT_NO_FATAL_FAILURE(z.level("c", "shut", "######\n#B>#o#\n######\n"));

    // Every fault, and the first one again from the game itself.
    std::vector<std::string> faults = checkZones(z.dir.path(), levels);
    faults.push_back(checkZones(levels + "/none", levels).at(0));
    HeadlessGame game;
    faults.emplace_back();
    EXPECT_FALSE(game.open(z.dir.path(), levels, faults.back()));
    std::string transcript;
    for (std::string fault : faults) {
        for (size_t at; (at = fault.find(levels)) != std::string::npos;)
            fault.replace(at, levels.size(), "$");
        transcript += escaped(fault) + "\n";
    }
    checkGoldenText(LURVANE_GOLDEN_DIR "/zone-checker.txt", transcript);
}

} // namespace
