// The HighScoreManager game module and its tables, one per skill and zone.
// (The tables live for one run so far: the high score file is not read or
// written yet.)
#pragma once

#include "Array.h"
#include "GameModule.h"
#include "String.h"

#include <cstdint>

struct HighScoreEntry {
    String name;
    int32_t score = 0;
};

class HighScoreList {
public:
    static constexpr int kEntries = 10;

    int32_t skill = 0;
    int32_t zone = 0;
    HighScoreEntry entries[kEntries];
};

class HighScoreManager : public GameModule {
public:
    HighScoreManager() : GameModule("HighScoreManager") {}
    ~HighScoreManager() override { clear(); }

    // Loads the high score file; a missing file is no failure.
    bool load() { return true; }
    void clear() { lists_.clear(); }
    // The table of the skill and zone, made empty with 10 entries when
    // there is none yet.
    HighScoreList* getList(int skill, int zone);

private:
    PtrArray<HighScoreList> lists_;
};

extern HighScoreManager* highScoreManager;
