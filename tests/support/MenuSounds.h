// The menus' sounds through a recording back end: events 1 "choice.wav",
// 2 "move.wav" and the title music, 14 "title.mod".
#pragma once

#include "lib/String.h"
#include "sound/RecordingSoundBackEnd.h"
#include "sound/SoundSystem.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

// Replaces the sound system by one that records into recording.
inline void recordMenuSounds(TempDir& dir, RecordingSoundBackEnd& recording) {
    if (soundSystem)
        soundSystem->Close();
    delete soundSystem;
    soundSystem = new SoundSystem(recording);
    dir.write("Data/sound.txt", "1 = {\n File = choice.wav;\n}\n2 = {\n File = move.wav;\n}\n"
                                "14 = {\n Type = Song; File = title.mod;\n}\n");
    for (const char* name : {"choice.wav", "move.wav", "title.mod"})
        dir.write(name, "x");
    String error;
    ASSERT_TRUE(soundSystem->Init(".\\Data\\sound.txt", error)) << error.c_str();
    recording.takeCalls();
}

// The samples played since the last call, 'm' for a move and 'c' for a
// choice, then the calls about songs.
inline std::string menuSoundsOf(RecordingSoundBackEnd& recording) {
    std::istringstream calls(recording.takeCalls().c_str());
    std::string sounds, songs;
    for (std::string call; std::getline(calls, call);) {
        if (call.rfind("playSample ", 0) == 0)
            sounds += call.compare(11, 4, "move") == 0 ? 'm' : 'c';
        else if (call.find("Song") != std::string::npos)
            songs += ", " + call;
    }
    return "sounds '" + sounds + "'" + songs;
}
