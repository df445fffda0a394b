// The HighScoreManager game module. (Registration only, so far.)
#pragma once

#include "GameModule.h"

class HighScoreManager : public GameModule {
public:
    HighScoreManager() : GameModule("HighScoreManager") {}
    // Loads the high score file; a missing file is no failure.
    bool load() { return true; }
    void clear() {}
};

extern HighScoreManager* highScoreManager;
