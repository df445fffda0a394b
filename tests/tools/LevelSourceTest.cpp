// The zone files and level sources under data/levels, and the maps built of them.
#include "tools/levelc/LevelSource.h"
#include "Src/zones/LevelCatalogue.h"
#include "gfx/GfxScreen.h"
#include "lib/Log.h"
#include "map/TileMap.h"
#include "tests/support/Golden.h"
#include "tests/support/LineTranscript.h"
#include "tests/support/TempDir.h"
#include "tools/artgen/ZoneThemes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace fs = std::filesystem;

// Each skill harder than the one before; shown sizes, short snakes, early levels in view.
TEST(ZoneFiles, EveryZoneReadsWithItsLevelsAndEverySourceIsPlayableAndBuilt) {
    TempDir dir;
    errorLog.open(dir.file("errorLog.txt").c_str());
    LevelCatalogue catalogue;
    ASSERT_TRUE(catalogue.scanZones(LURVANE_LEVEL_SOURCE_DIR)) << dir.read("errorLog.txt");
    errorLog.close();
    EXPECT_EQ(dir.read("errorLog.txt"), "");
    ASSERT_EQ(catalogue.getZoneCount(), static_cast<int>(zoneThemes().size()));
    LineTranscript t;
    int sources = 0, scrolling = 0;
    GfxScreen screen(nullptr);
    for (int i = 0; i < catalogue.getZoneCount(); ++i) {
        const ZoneTheme& theme = zoneThemes()[static_cast<size_t>(i)];
        String gfx;
        catalogue.getZoneSnakeGfxFile(i, gfx);
        const std::string gfxPath = gfx.c_str();
        t.note(catalogue.getZoneName(i), std::string(theme.name) == catalogue.getZoneName(i),
               catalogue.getZoneBackColour(i) == theme.background.colorRef(),
               catalogue.getZoneDisplayName(i), gfxPath.substr(gfxPath.rfind("..\\..\\")),
               catalogue.getLevelCount(i));
        std::set<fs::path> referenced;
        for (int n = 1; n <= catalogue.getLevelCount(i); ++n) {
            const Level* level = catalogue.getLevel(i, n);
            ASSERT_NE(level, nullptr);
            std::string map = level->fileName.c_str();
            std::replace(map.begin(), map.end(), '\\', '/');
            const fs::path source = fs::path(map).replace_extension(".lvl");
            bool harder = true;
            for (int k = 0; k < 3; ++k)
                harder = harder &&
                         (k == 0 || (level->time(k - 1) >= level->time(k) &&
                                     level->startSpeed(k - 1) >= level->startSpeed(k))) &&
                         level->time(k) >= 10 && level->topSpeed(k) >= 1 &&
                         level->topSpeed(k) <= level->startSpeed(k) && level->incSpeed(k) >= 1;
            t.note(source.parent_path().filename().string() + "/" +
                       fs::path(map).filename().string(),
                   fs::exists(source), harder);
            referenced.insert(source.filename());
        }
        std::vector<fs::path> files;
        for (const auto& entry :
             fs::directory_iterator(fs::path(LURVANE_LEVEL_SOURCE_DIR) / theme.directory))
            if (entry.path().extension() == ".lvl")
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (size_t k = 0; k < files.size(); ++k) {
            SCOPED_TRACE(files[k].string());
            LevelSource level;
            std::string error;
            ASSERT_TRUE(parseLevelSource(readFile(files[k].string()), level, error)) << error;
            EXPECT_TRUE(checkLevelPlayable(level, error)) << error;
            const auto bodies = std::count(level.cells.begin(), level.cells.end(), 5);
            const bool fitsView = level.width <= 32 && level.height <= 23;
            EXPECT_TRUE(level.width >= 20 && level.width <= 64 && level.height >= 15 &&
                        level.height <= 46 && bodies >= 2 && bodies <= 4 &&
                        (fitsView || (theme.skill > 0 && (theme.skill >= 3 || k > 0))))
                << level.width << "x" << level.height << ", " << bodies << " body blocks";
            EXPECT_TRUE(referenced.count(files[k].filename())) << "in no <Level>";
            scrolling += !fitsView;
            ++sources;
            TileMap map;
            const fs::path built = fs::path(LURVANE_LEVELS_DIR) / theme.directory /
                                   files[k].filename().replace_extension(".fmp");
            ASSERT_EQ(map.load(&screen, built.c_str(), 0, 0, -1, -1), 0) << map.getError();
            int differing = map.getMapWidth() != level.width || map.getMapHeight() != level.height;
            for (int y = 0; y < level.height && !differing; ++y)
                for (int x = 0; x < level.width; ++x)
                    differing += map.getBlock(x, y) != level.at(x, y);
            EXPECT_EQ(std::tuple(differing, map.getBlockWidth(), map.getBlockDepth()),
                      std::tuple(0, 20, 16));
        }
        // No map is left of a source that is gone.
        for (const auto& entry :
             fs::directory_iterator(fs::path(LURVANE_LEVELS_DIR) / theme.directory))
            EXPECT_TRUE(entry.path().extension() != ".fmp" ||
                        fs::exists(fs::path(LURVANE_LEVEL_SOURCE_DIR) / theme.directory /
                                   entry.path().filename().replace_extension(".lvl")))
                << entry.path();
    }
    EXPECT_GE(sources, 40);
    EXPECT_GE(scrolling, 20) << "later levels are larger than the view";
    checkGoldenText(LURVANE_GOLDEN_DIR "/zones.txt", t.text());
}
