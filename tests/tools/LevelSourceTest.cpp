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
#include <array>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kLevelsDir = LURVANE_LEVEL_SOURCE_DIR;

// A level source read through the level compiler's own parser.
struct LevelMap {
    std::string error; // empty when the file was read
    LevelSource level;
    int width = 0;
    int height = 0;

    int at(int x, int y) const {
        return x < 0 || y < 0 || x >= width || y >= height ? 0 : level.at(x, y);
    }
};

LevelMap readLevel(const std::string& path) {
    LevelMap map;
    std::ifstream in(path);
    if (!in) {
        map.error = "cannot open";
        return map;
    }
    std::stringstream text;
    text << in.rdbuf();
    if (parseLevelSource(text.str(), map.level, map.error)) {
        map.width = map.level.width;
        map.height = map.level.height;
    }
    return map;
}

bool passable(int block) {
    return block == 1 || block == 2 || (block >= 5 && block <= 13);
}

// What the game's rules, and our own rules for the shipped levels, ask of a
// level; empty when the map is good.
std::vector<std::string> levelProblems(const LevelMap& map) {
    std::vector<std::string> problems;
    std::string error;
    if (!checkLevelPlayable(map.level, error))
        problems.push_back(error);
    if (map.width < 20 || map.width > 64 || map.height < 15 || map.height > 46)
        problems.push_back("size out of range");
    int heads = 0, bodies = 0, hx = 0, hy = 0;
    for (int y = 0; y < map.height; ++y)
        for (int x = 0; x < map.width; ++x) {
            const int b = map.at(x, y);
            if (b >= 6 && b <= 9) {
                ++heads;
                hx = x;
                hy = y;
            }
            bodies += b == 5;
        }
    if (heads != 1)
        return problems;
    if (bodies < 2 || bodies > 4)
        problems.push_back("body of " + std::to_string(bodies) + " blocks");
    const int heading = map.at(hx, hy) - 6; // up, right, down, left
    const int fx = hx + std::array{0, 1, 0, -1}[heading],
              fy = hy + std::array{-1, 0, 1, 0}[heading];
    const int ahead = map.at(fx, fy);
    if (!passable(ahead) || (ahead >= 5 && ahead <= 9))
        problems.push_back("head faces a blocked cell");
    return problems;
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

TEST(LevelSources, EveryMapIsClosedStartsWellAndCanBeFinished) {
    int sources = 0, scrolling = 0;
    for (const ZoneTheme& theme : zoneThemes()) {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(kLevelsDir + "/" + theme.directory))
            if (entry.path().extension() == ".lvl")
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (size_t i = 0; i < files.size(); ++i) {
            SCOPED_TRACE(files[i].string());
            const LevelMap map = readLevel(files[i].string());
            ASSERT_EQ(map.error, "");
            for (const std::string& problem : levelProblems(map))
                ADD_FAILURE() << problem;
            const bool fitsView = map.width <= 32 && map.height <= 23;
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

TEST(LevelSources, CheckerCatchesBrokenMaps) {
    // The rules above would pass anything if the checker were lax.
    TempDir dir;
    auto problemsOf = [&](const std::string& rows) {
        dir.write("x.lvl", "; test\nmap\n" + rows);
        const LevelMap map = readLevel(dir.file("x.lvl"));
        return map.error.empty() ? levelProblems(map) : std::vector<std::string>{map.error};
    };
    const std::string wall(20, '#');
    auto field = [&](const std::string& middle) {
        std::string rows = wall + "\n";
        for (int y = 1; y < 14; ++y)
            rows += (y == 7 ? middle : "#" + std::string(18, '.') + "#") + "\n";
        return rows + wall + "\n";
    };
    EXPECT_TRUE(problemsOf(field("#..BBB>....o.......#")).empty());
    EXPECT_FALSE(problemsOf(field("#..BBB>....o........")).empty()); // open edge
    EXPECT_FALSE(problemsOf(field("#..BBB>#...o.......#")).empty()); // faces a wall
    EXPECT_FALSE(problemsOf(field("#...B.>....o.......#")).empty()); // body off the chain
    std::string walledIn = field("#..BBB>............#");
    for (int y = 2; y <= 4; ++y)
        for (int x = 9; x <= 11; ++x)
            walledIn[y * 21 + x] = y == 3 && x == 10 ? 'o' : '#';
    EXPECT_FALSE(problemsOf(walledIn).empty());
    EXPECT_FALSE(problemsOf(field("#..BBB>....o......#")).empty());  // short row
    EXPECT_FALSE(problemsOf(field("#..BBB>....o...X...#")).empty()); // unknown block
}
