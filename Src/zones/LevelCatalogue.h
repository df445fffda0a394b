// The zones under ".\Data\Levels", read from their "level.txt" files and
// ordered by skill rating, with each zone's levels in file order.
#pragma once

#include "lib/Array.h"
#include "lib/String.h"

#include <cstdint>
#include <string>
#include <vector>

class FileBuffer;
class FileIO;
struct Zone;

struct Level {
    // For skill k (0 Easy, 1 Normal, 2 Hard): time at 4k, startSpeed at
    // 4k + 1, topSpeed at 4k + 2, incSpeed at 4k + 3.
    int32_t settings[12] = {};
    String fileName;
    Zone* zone = nullptr;
    int32_t number = 0;

    int32_t time(int skill) const { return settings[4 * skill]; }
    int32_t startSpeed(int skill) const { return settings[4 * skill + 1]; }
    int32_t topSpeed(int skill) const { return settings[4 * skill + 2]; }
    int32_t incSpeed(int skill) const { return settings[4 * skill + 3]; }
};

struct Zone {
    String dirName; // the zone's directory below the levels directory
    String name;
    uint32_t backColour = 0; // 0x00BBGGRR
    String snakeGfxFile;
    String author;
    int32_t skill = 5;
    PtrArray<Level> levels;
};

class LevelCatalogue {
public:
    static constexpr const char* kLevelsDirectory = ".\\Data\\Levels";

    LevelCatalogue() = default;
    ~LevelCatalogue() { clearZones(); }
    LevelCatalogue(const LevelCatalogue&) = delete;
    LevelCatalogue& operator=(const LevelCatalogue&) = delete;

    // Reads every zone below the directory; any error in a description file
    // is reported fatally and gives false. The chosen zone and the high
    // scores are moved to the new places by their owners afterwards.
    bool scanZones(const char* levelsDirectory = kLevelsDirectory);
    void clearZones();
    // With a list, each error is added to it instead of being reported, and
    // the reading goes on past it, so one scan finds every error; the zones
    // and levels that could be read are kept. Null is the game's way.
    void collectErrors(std::vector<std::string>* errors) { errors_ = errors; }

    int getZoneCount() const { return zones_.size(); }
    const char* getZoneName(int i) const;
    // The name of the zone's directory, which stays the same while the
    // zone's place in the sorted list moves.
    const char* getZoneDirName(int i) const;
    const char* getZoneDisplayName(int i);
    // The skill rating after sorting, 0..9; 0 when i is not below the count.
    int32_t getZoneSkill(int i) const;
    uint32_t getZoneBackColour(int i) const;
    void getZoneSnakeGfxFile(int i, String& out) const;
    int getLevelCount(int i) const;
    const Level* getLevel(int i, int number) const;
    const char* getLevelFileName(int i, int number) const;

    bool hasCompletionFlags() const { return flags_.size() > 0; }
    void markZoneCompleted(int i);
    bool isZoneCompleted(int i) const;
    void writeCompletionFlags(FileIO& file) const;
    void readCompletionFlags(FileIO& file);

private:
    bool readZone(const char* dirName, const char* path);
    bool readZoneHeader(FileBuffer& file, Zone& zone);
    bool readLevels(FileBuffer& file, Zone& zone);
    bool readLevel(FileBuffer& section, Zone& zone, int number);
    // Reports the error; true when the reading goes on.
    bool fail(const char* message);
    bool valid(int i) const { return i >= 0 && i < zones_.size(); }

    PtrArray<Zone> zones_;
    Array<uint8_t> flags_;
    String prefix_;    // the zone's directory with a trailing backslash
    String errorText_; // names the file being read
    String displayName_;
    std::vector<std::string>* errors_ = nullptr;
};

extern LevelCatalogue levelCatalogue;

// The order of zone directories of equal skill: letter case aside, as the
// system the zones were made for lists them (letters compare as capitals),
// and by bytes between names that differ only in case. Below 0 when a comes
// first.
int compareZoneNames(const char* a, const char* b);
