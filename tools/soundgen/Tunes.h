// The game's music: the title tune, the in-game tune and the high score
// fanfare, written as four-channel modules with synthesised instruments.
#pragma once

#include "tools/soundgen/ModFile.h"

#include <string>
#include <vector>

struct Tune {
    std::string file; // relative to the Data directory, '/'-separated
    ModModule module;
};

std::vector<Tune> makeTunes();
