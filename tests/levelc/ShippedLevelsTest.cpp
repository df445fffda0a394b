// The levels the build lays out in the Data directory: one map per level
// source, each loading in the game's loader with the source's cells.
#include "gfx/GfxScreen.h"
#include "map/TileMap.h"
#include "tests/support/TempDir.h"
#include "tools/levelc/LevelSource.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace fs = std::filesystem;

TEST(ShippedLevels, EveryLevelSourceHasAMapThatLoadsWithItsCells) {
    std::set<std::string> sources, maps;
    for (const auto& zone : fs::directory_iterator(LURVANE_LEVEL_SOURCE_DIR))
        for (const auto& file : fs::directory_iterator(zone.path()))
            if (file.path().extension() == ".lvl")
                sources.insert(zone.path().filename().string() + "/" + file.path().stem().string());
    for (const auto& zone : fs::directory_iterator(LURVANE_LEVELS_DIR))
        if (zone.is_directory())
            for (const auto& file : fs::directory_iterator(zone.path()))
                if (file.path().extension() == ".fmp")
                    maps.insert(zone.path().filename().string() + "/" +
                                file.path().stem().string());
    EXPECT_GE(sources.size(), 40u);
    EXPECT_EQ(maps, sources);

    GfxScreen screen(nullptr);
    for (const std::string& name : maps) {
        SCOPED_TRACE(name);
        LevelSource level;
        std::string error;
        ASSERT_TRUE(parseLevelSource(
            readFile(std::string(LURVANE_LEVEL_SOURCE_DIR) + "/" + name + ".lvl"), level, error))
            << error;
        TileMap map;
        const std::string path = std::string(LURVANE_LEVELS_DIR) + "/" + name + ".fmp";
        ASSERT_EQ(map.load(&screen, path.c_str(), 0, 0, -1, -1), 0) << map.getError();
        ASSERT_EQ(map.getMapWidth(), level.width);
        ASSERT_EQ(map.getMapHeight(), level.height);
        EXPECT_EQ(map.getBlockWidth(), 20);
        EXPECT_EQ(map.getBlockDepth(), 16);
        int differing = 0;
        for (int y = 0; y < level.height; ++y)
            for (int x = 0; x < level.width; ++x)
                differing += map.getBlock(x, y) != level.at(x, y);
        EXPECT_EQ(differing, 0);
    }
}
