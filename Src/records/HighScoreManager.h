// The HighScoreManager game module: one table of ten entries per skill and
// zone, kept in ".\Data\highscores.dat" between runs.
#pragma once

#include "Src/core/GameModule.h"
#include "Src/records/ZoneOrder.h"
#include "lib/Array.h"
#include "lib/DateTime.h"
#include "lib/String.h"

#include <cstdint>

class FileIO;

// One line of a table; stored as an 88-byte record.
struct HighScoreEntry {
    static constexpr int kNameSize = 64;
    static constexpr int kRecordSize = 88;
    // Names are entered with at most this many characters.
    static constexpr int kMaxNameLength = 20;

    char name[kNameSize] = {}; // zero-terminated, zero-filled after it
    DateTime date;
    int32_t score = 0;
    bool byPlayer = false; // false for the filler lines of a new table

    // Copies the name, cut to fit with its terminator, zero-filled.
    void setName(const char* text);
    void encode(uint8_t* record) const;
    // Takes a record as stored; a name without a terminator is cut at 63.
    void decode(const uint8_t* record);
};

class HighScoreList {
public:
    static constexpr int kEntries = 10;

    int32_t skill = 0;
    int32_t zone = 0;
    bool dirty = false;
    HighScoreEntry entries[kEntries]; // best first

    // The filler table of a skill and zone never played: "----------" with
    // 400 down to 40.
    void fillNew();
    // Index of the first entry whose score is not above score, -1 when every
    // entry is above it; nextScore gets the score of the nearest entry above
    // that place and is left alone when there is none.
    int findRank(int32_t score, int32_t& nextScore) const;
    int findRank(int32_t score) const;
    // Enters a player's score at its rank (the last entry falls out);
    // returns the rank or -1 when the score does not reach the table.
    int insert(const char* name, int32_t score);
};

class HighScoreManager : public GameModule {
public:
    static constexpr const char* kFileName = ".\\Data\\highscores.dat";
    // Bytes of a stored list before its entries: count, skill, zone.
    static constexpr int kListHeaderSize = 12;

    explicit HighScoreManager(const char* fileName = kFileName)
        : GameModule("HighScoreManager"), fileName_(fileName) {}
    ~HighScoreManager() override { clear(); }

    // Reads the file; a missing file gives no tables and is no failure, nor
    // is a damaged one (what can be read whole is kept, the rest reported).
    // False only when the file exists but cannot be opened.
    bool load();
    // Writes the file when anything changed since the last load or save.
    bool save();
    void clear();
    // The table of the skill and zone; a filler table is made when there is
    // none yet.
    HighScoreList* getList(int skill, int zone);

    // Moves every list to its zone's place in the new order of the zones
    // (the first zoneCount places); the lists of zones that are gone are
    // kept at places after them, and lists whose zone is not known stay.
    // A file of an earlier version stands for the earlier order.
    void followZones(const ZoneOrder& zones, int zoneCount, const ZoneOrder& earlier);

    int listCount() const { return lists_.size(); }
    HighScoreList* list(int i) const { return lists_[i]; }
    bool isDirty() const;

private:
    bool readList(FileIO& file, int index, int count);

    String fileName_;
    PtrArray<HighScoreList> lists_;
    bool dirty_ = false;
    bool damaged_ = false; // the file loaded had parts that could not be read
    ZoneOrder zoneOrder_;  // the zones the lists' places stand for
};

extern HighScoreManager* highScoreManager;
