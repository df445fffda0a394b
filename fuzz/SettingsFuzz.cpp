// The settings file may be cut short or damaged: reading it must keep to the
// bytes that are there and leave only values the game can use.
#include "Src/core/GameState.h"
#include "Src/records/Settings.h"
#include "Src/zones/LevelCatalogue.h"
#include "fuzz/FuzzInput.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace {

const std::string& directory() {
    static const std::string dir = [] {
        const std::string d = scratchPath("settings");
        // Three zones, so that the completion flags are read too.
        for (const char* zone : {"a", "b", "c"}) {
            std::filesystem::create_directories(d + "/Levels/" + zone);
            writeInput(d + "/Levels/" + zone + "/level.txt", "", 0);
        }
        return d;
    }();
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = directory() + "/settings.dat";
    if (!writeInput(path, data, size))
        return 0;
    currentSkill = 0;
    currentZone = 0;
    applyDefaultSettings();
    resetStatistics();
    levelCatalogue.clearZones();
    if (size > 0 && data[0] & 1)
        levelCatalogue.scanZones((directory() + "/Levels").c_str());
    loadSettings(path.c_str());
    checkCurrentZone(levelCatalogue.getZoneCount());
    if (currentSkill < 0 || currentSkill > 2 || !options.player1Keys.hasOnlyKeyCodes() ||
        !options.player2Keys.hasOnlyKeyCodes() || statistics.gamesPlayed < 0 ||
        statistics.totalRunTime.ticks() < 0 || currentZone < 0 ||
        (currentZone > 0 && currentZone >= levelCatalogue.getZoneCount()))
        __builtin_trap();
    return 0;
}
