// The InputManager game module. (Registration only, so far.)
#pragma once

#include "GameModule.h"

class Platform;

class InputManager : public GameModule {
public:
    InputManager() : GameModule("InputManager") {}
    // Opens the input devices of the main window.
    bool init(Platform* /*window*/) { return true; }
    void release() {}
};

extern InputManager* inputManager;
