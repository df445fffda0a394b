// The zone description files and level sources under data/levels: every
// level the catalogue reads has its source, and every source is a map the
// game can play.
#include "tools/levelc/LevelSource.h"
#include "Src/zones/LevelCatalogue.h"
#include "lib/Log.h"
#include "tests/support/TempDir.h"
#include "tools/artgen/ZoneThemes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kLevelsDir = LURVANE_LEVEL_SOURCE_DIR;

// A level source read through the level compiler's own parser.
LevelSource readLevel(const fs::path& path) {
    LevelSource level;
    std::string error;
    EXPECT_TRUE(parseLevelSource(readFile(path.string()), level, error)) << error;
    return level;
}

std::string unixPath(std::string path) {
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

// The catalogue reading data/levels as the game reads its Levels directory.
class ZoneFiles : public ::testing::Test {
protected:
    void SetUp() override {
        gameLog.open(dir.file("log.txt").c_str());
        errorLog.open(dir.file("errorLog.txt").c_str());
    }
    void TearDown() override {
        gameLog.close();
        errorLog.close();
    }

    TempDir dir;
    LevelCatalogue catalogue;
};

} // namespace

TEST_F(ZoneFiles, EveryZoneReadsWithItsLookAndLevels) {
    ASSERT_TRUE(catalogue.scanZones(kLevelsDir.c_str())) << dir.read("errorLog.txt");
    EXPECT_EQ(dir.read("errorLog.txt"), "");
    const std::vector<ZoneTheme>& themes = zoneThemes();
    ASSERT_EQ(catalogue.getZoneCount(), static_cast<int>(themes.size()));
    int total = 0;
    // Sorted by skill, the zones come in the order of their themes.
    for (int i = 0; i < catalogue.getZoneCount(); ++i) {
        const ZoneTheme& theme = themes[i];
        SCOPED_TRACE(theme.name);
        EXPECT_STREQ(catalogue.getZoneName(i), theme.name);
        EXPECT_EQ(catalogue.getZoneBackColour(i), theme.background.colorRef());
        EXPECT_EQ(std::string(catalogue.getZoneDisplayName(i)),
                  std::string(theme.name) + " (by Lurvane developers)");
        String gfx;
        catalogue.getZoneSnakeGfxFile(i, gfx);
        const std::string expected = std::string("..\\..\\Gfx\\snake_") + theme.directory + ".bmp";
        const std::string gfxPath(gfx.c_str());
        ASSERT_GE(gfxPath.size(), expected.size());
        EXPECT_EQ(gfxPath.substr(gfxPath.size() - expected.size()), expected);

        const int count = catalogue.getLevelCount(i);
        EXPECT_GE(count, 5);
        total += count;
        std::set<std::string> referenced;
        for (int n = 1; n <= count; ++n) {
            const Level* level = catalogue.getLevel(i, n);
            ASSERT_NE(level, nullptr);
            const std::string map = unixPath(level->fileName.c_str());
            const std::string source = map.substr(0, map.size() - 4) + ".lvl";
            EXPECT_EQ(map.substr(map.size() - 4), ".fmp");
            EXPECT_EQ(fs::path(source).parent_path().filename(), theme.directory);
            EXPECT_TRUE(fs::exists(source)) << source;
            referenced.insert(fs::path(source).filename().string());
            for (int k = 0; k < 2; ++k) {
                // Each skill is harder than the one before.
                EXPECT_GE(level->time(k), level->time(k + 1)) << source;
                EXPECT_GE(level->startSpeed(k), level->startSpeed(k + 1)) << source;
            }
            for (int k = 0; k < 3; ++k) {
                EXPECT_GE(level->time(k), 10) << source;
                EXPECT_GE(level->topSpeed(k), 1) << source;
                EXPECT_LE(level->topSpeed(k), level->startSpeed(k)) << source;
                EXPECT_GE(level->incSpeed(k), 1) << source;
            }
        }
        // Every source is played by some level of its zone.
        for (const auto& entry : fs::directory_iterator(kLevelsDir + "/" + theme.directory)) {
            if (entry.path().extension() == ".lvl") {
                EXPECT_TRUE(referenced.count(entry.path().filename().string()))
                    << entry.path() << " is in no <Level>";
            }
        }
    }
    EXPECT_GE(total, 40);
}

// The game's rules, and our own for the shipped levels: a size the game
// can show, a body of two to four blocks, early levels that fit the view.
TEST(LevelSources, EveryMapIsPlayableOfItsSizeAndStartsShort) {
    int sources = 0, scrolling = 0;
    for (const ZoneTheme& theme : zoneThemes()) {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(kLevelsDir + "/" + theme.directory))
            if (entry.path().extension() == ".lvl")
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (size_t i = 0; i < files.size(); ++i) {
            SCOPED_TRACE(files[i].string());
            const LevelSource level = readLevel(files[i]);
            std::string error;
            EXPECT_TRUE(checkLevelPlayable(level, error)) << error;
            EXPECT_TRUE(level.width >= 20 && level.width <= 64 && level.height >= 15 &&
                        level.height <= 46)
                << level.width << "x" << level.height;
            const auto bodies = std::count(level.cells.begin(), level.cells.end(), 5);
            EXPECT_TRUE(bodies >= 2 && bodies <= 4) << bodies;
            const bool fitsView = level.width <= 32 && level.height <= 23;
            scrolling += !fitsView;
            if (theme.skill == 0 || (theme.skill < 3 && i == 0)) {
                EXPECT_TRUE(fitsView) << "an early level fits the view";
            }
            ++sources;
        }
    }
    EXPECT_GE(sources, 40);
    EXPECT_GE(scrolling, 20) << "later levels are larger than the view";
}
