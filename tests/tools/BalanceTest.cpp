// The players that are scripts on the shipped zones, the rules the zones'
// balance keeps, and the zone checker on zones broken in every way it knows.
#include "tools/balance/Balance.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/TempDir.h"
#include "tools/levelc/LevelCompiler.h"

#include "Src/zones/LevelCatalogue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string kGameDir = LURVANE_GAME_DIR;
// Five times slower under the sanitizers: there the levels are played on
// Hard only, where the planner has the least time.
#ifdef LURVANE_SANITIZED_BUILD
constexpr int kFirstSkill = 2;
#else
constexpr int kFirstSkill = 0;
#endif

TEST(ShippedBalance, PlannerClearsEveryLevelOnEverySkill) {
    HeadlessGame game;
    std::string error;
    ASSERT_TRUE(game.open(kGameDir, kGameDir + "/Data/Levels", error)) << error;
    ASSERT_EQ(levelCatalogue.getZoneCount(), 8);
    for (int z = 0; z < levelCatalogue.getZoneCount(); ++z)
        for (int n = 1; n <= levelCatalogue.getLevelCount(z); ++n)
            for (int skill = kFirstSkill; skill < kSkills; ++skill) {
                Planner planner;
                const LevelOutcome o = game.play(z, n, skill, planner);
                EXPECT_TRUE(o.cleared) << levelCatalogue.getZoneName(z) << " " << n << " skill "
                                       << skill << " after " << o.seconds() << " s";
            }
}

#ifndef LURVANE_SANITIZED_BUILD
TEST(ShippedBalance, ClearRatesFallWithSkillDifficultyRisesAndTheClockMattersOnHard) {
    HeadlessGame game;
    std::string error;
    ASSERT_TRUE(game.open(kGameDir, kGameDir + "/Data/Levels", error)) << error;
    const std::vector<ZoneResult> zones = measureZones(game, 2);
    const std::vector<std::string> problems = balanceProblems(zones);
    EXPECT_TRUE(problems.empty()) << formatReport(zones, 2);
}
#endif

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
