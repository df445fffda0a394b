// The recipes of the game's sound effects, each a few synthesised voices.
#pragma once

#include "tools/soundgen/WavFile.h"

#include <string>
#include <vector>

struct SoundEffect {
    std::string file; // relative to the Data directory, '/'-separated
    WavSound sound;
};

// Every sample the default description file names.
std::vector<SoundEffect> makeSoundEffects();
