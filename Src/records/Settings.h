// Options, the statistics record and the settings file ".\Data\settings.dat",
// which keeps them between runs with the chosen zone and skill, the name
// last entered for a high score and the zones' completion flags.
#pragma once

#include "Src/core/KeySet.h"
#include "lib/DateTime.h"
#include "lib/String.h"

#include <cstdint>

// Stored as a 60-byte block.
struct Options {
    static constexpr int kSize = 60;

    bool titleMusic = true;
    bool inGameMusic = false;
    bool soundEffects = true;
    bool fullScreen = false;
    KeySet player1Keys = kDefaultKeysPlayer1;
    KeySet player2Keys = kDefaultKeysPlayer2;

    void encode(uint8_t* block) const;
    void decode(const uint8_t* block);
};

// Stored as a 72-byte block.
struct Statistics {
    static constexpr int kSize = 72;

    int32_t gamesPlayed = 0;
    int32_t levelsDone = 0;
    int32_t zonesCompleted = 0;
    DateTime firstStart;
    TimeSpan totalRunTime;
    TimeSpan maxGameTime;
    int32_t bestScore = 0;
    int32_t totalPoints = 0;

    // A completed level, and a game that ended with the score after the
    // play time (a completed zone counts as a level too). Every sum stops at
    // the largest value its field holds, so a long career never turns
    // negative.
    void addLevel();
    void addGame(int32_t score, const TimeSpan& playTime, bool zoneCompleted);

    void encode(uint8_t* block) const;
    void decode(const uint8_t* block);
    // False for a record no game could have left: negative counts or spans,
    // or a time status that does not exist.
    bool isPlausible() const;
};

extern Options options;
extern Statistics statistics;
extern String lastPlayerName;

// The settings file's version; a file of any other version is ignored.
constexpr int32_t kSettingsVersion = 2;
constexpr const char* kSettingsFile = ".\\Data\\settings.dat";

void applyDefaultSettings();
void resetStatistics();
// Reads the file over the defaults; anything missing, damaged or out of
// range keeps its default and is reported to the error log.
void loadSettings(const char* fileName = kSettingsFile);
// Writes the file in full or not at all; false when it could not be written.
bool saveSettings(const char* fileName = kSettingsFile);
