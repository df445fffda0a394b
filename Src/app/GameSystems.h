// Start-up and shutdown of the game-wide systems, and the switch between
// windowed and full-screen display.
#pragma once

class GfxScreen;
class Platform;
class SoundBackEnd;

// The entry routine: runs the whole program on the given platform, playing
// sound through the given back end (none: silence), and returns the process
// exit code: 1 after any fatal error, else 0.
int runLurvane(Platform& platform, SoundBackEnd* sound = nullptr);

bool initApplication();
// Ensures the screen exists and sets up the game systems; false on failure.
bool initScreenAndGame();
// Releases the game systems (whatever of them was created) in order.
void shutdownGame();
bool changeWinMode();
