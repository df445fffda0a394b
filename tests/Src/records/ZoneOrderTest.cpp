// High score lists and the chosen zone follow their zone directories from
// scan to scan through the side files beside the record files.
#include "Src/records/ZoneOrder.h"

#include "Src/core/GameState.h"
#include "Src/records/HighScoreManager.h"
#include "Src/records/Settings.h"
#include "Src/zones/LevelCatalogue.h"
#include "lib/Log.h"
#include "tests/support/Golden.h"
#include "tests/support/LoggedTest.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

struct ZonePlaces : LoggedTest {
    std::string scores = dir.file("highscores.dat");
    std::string settings = dir.file("settings.dat");
    HighScoreManager manager{scores.c_str()};

    void SetUp() override {
        LoggedTest::SetUp();
        highScoreManager = &manager;
    }
    void TearDown() override {
        LoggedTest::TearDown();
        highScoreManager = nullptr;
        levelCatalogue.clearZones();
        chosenZoneOrder.forget();
        currentZone = 0;
    }
    // Scans exactly these zones, all of one skill, and lets the places follow.
    void scan(const std::vector<std::string>& zones) {
        std::filesystem::remove_all(dir.file("Levels"));
        for (const std::string& zone : zones)
            dir.write("Levels/" + zone + "/level.txt", "");
        ASSERT_TRUE(levelCatalogue.scanZones(dir.file("Levels").c_str()));
        followZones();
    }
    // Ann's table at a place, chosen, as the files store them.
    void store(int32_t place) {
        manager.clear();
        manager.getList(0, place)->insert("Ann", 999);
        currentZone = place;
        ASSERT_TRUE(manager.save());
        ASSERT_TRUE(saveSettings(settings.c_str()));
    }
};

} // namespace

// Without side files (an earlier version's, "B" and "C" before "a") places
// stay; with them they follow their zones, a gone zone's table kept after.
TEST_F(ZonePlaces, FollowTheirZonesAndStayWhereTheSideFileCannotBeTrusted) {
    const struct {
        int32_t place; // -1: the tables as they are
        bool sideFiles;
        std::vector<std::string> zones;
    } steps[] = {
        {1, false, {"a", "b"}},     {1, true, {"0", "a", "b"}},       {2, true, {"b", "c", "d"}},
        {0, true, {"c"}},           {-1, true, {"0", "a", "b", "c"}}, {0, false, {"B", "a", "C"}},
        {1, true, {"B", "a", "C"}}, {2, false, {"B", "a", "C"}},
    };
    std::string transcript;
    for (const auto& step : steps) {
        if (step.place >= 0)
            store(step.place);
        else
            ASSERT_TRUE(manager.save());
        if (!step.sideFiles) {
            std::filesystem::remove(dir.file("highscores.zones"));
            std::filesystem::remove(dir.file("settings.zones"));
        }
        EXPECT_TRUE(manager.load());
        loadSettings(settings.c_str());
        scan(step.zones);
        transcript += "stored " + std::to_string(step.place) + " side files " +
                      std::to_string(step.sideFiles) + ", " + std::to_string(step.zones.size()) +
                      " zones: tables " + std::to_string(manager.listCount()) + " at " +
                      std::to_string(manager.list(0)->zone) + ", chosen " +
                      std::to_string(currentZone) + "\n";
    }
    checkGoldenText(std::string(LURVANE_TEST_GOLDEN_DIR) + "/zone_places.txt", transcript);
    // The side file starts with the size and a 64-bit hash of its record file.
    store(0);
    const std::string stamp = readFile(dir.file("highscores.zones")).substr(0, 40);
    EXPECT_EQ(stamp.substr(0, stamp.find(' ')), std::to_string(readFile(scores).size()));
    EXPECT_EQ(stamp.find('\n') - stamp.find(' '), 17u);

    // A damaged, empty or stale side file leaves every place where it is.
    const std::string zones = dir.file("highscores.zones");
    const std::function<void()> spoilers[] = {
        [&] { writeFile(zones, readFile(zones) + "x\tb\n"); },
        [&] { writeFile(zones, readFile(zones) + "1x\tb\n"); },
        [&] { writeFile(zones, readFile(zones) + "1\t\n"); },
        [&] { writeFile(zones, readFile(zones) + "1b\n"); },
        [&] { writeFile(zones, ""); },
        [&] { writeFile(scores, readFile(scores) + "x"); },
        [&] { writeFile(scores, readFile(scores).replace(20, 1, "x")); },
    };
    for (const auto& spoil : spoilers) {
        scan({"0", "a", "b"});
        store(1);
        spoil();
        std::filesystem::remove(dir.file("settings.zones"));
        EXPECT_TRUE(manager.load());
        scan({"B", "C", "a"});
        EXPECT_EQ(manager.list(0)->zone, 1) << readFile(zones);
    }
    // A side file whose record file is gone is not read, whatever it holds.
    writeFile(dir.file("gone.zones"), "\n0\ta\n");
    ZoneOrder orphan;
    orphan.load(dir.file("gone.dat").c_str());
    EXPECT_EQ(orphan.dirAt(0), nullptr);
    // The reload key keeps a chosen zone past the end at the last one.
    for (int32_t chosen : {3, 5}) {
        currentZone = chosen;
        followZones(true);
        EXPECT_EQ(currentZone, 2);
    }
}

// A table of a place the side file does not name keeps that place; a gone
// zone's table goes after it, never onto it nor onto a zone that is there.
TEST_F(ZonePlaces, AGoneZonesTableNeverTakesThePlaceOfAnUnknownOne) {
    for (int32_t unknown : {2, INT32_MAX - 1}) {
        scan({"a", "b"});
        manager.clear();
        manager.getList(0, 1)->insert("Ann", 999);
        manager.getList(0, unknown)->insert("Bob", 998);
        ASSERT_TRUE(manager.save());
        ASSERT_TRUE(manager.load());
        scan({"a", "c"});
        ASSERT_EQ(manager.listCount(), 2);
        const int32_t bs = manager.list(manager.list(0)->zone == unknown ? 1 : 0)->zone;
        EXPECT_NE(bs, unknown);
        EXPECT_GE(bs, 2) << unknown;
    }
}
