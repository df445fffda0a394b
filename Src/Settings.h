// Options, the statistics record and the settings file ".\Data\settings.dat".
// (The file is neither read nor written yet: the values live for one run.)
#pragma once

#include "DateTime.h"
#include "KeySet.h"
#include "String.h"

#include <cstdint>

struct Options {
    bool titleMusic = true;
    bool inGameMusic = false;
    bool soundEffects = true;
    bool fullScreen = false;
    KeySet player1Keys = kDefaultKeysPlayer1;
    KeySet player2Keys = kDefaultKeysPlayer2;
};

struct Statistics {
    int32_t gamesPlayed = 0;
    int32_t levelsDone = 0;
    int32_t zonesCompleted = 0;
    DateTime firstStart;
    TimeSpan totalRunTime;
    TimeSpan maxGameTime;
    int32_t bestScore = 0;
    int32_t totalPoints = 0;
};

extern Options options;
extern Statistics statistics;
extern String lastPlayerName;

void applyDefaultSettings();
void resetStatistics();
void loadSettings();
void saveSettings();
