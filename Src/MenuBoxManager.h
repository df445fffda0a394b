// The MenuBoxManager game module. (Registration only, so far.)
#pragma once

#include "GameModule.h"

class MenuBoxManager : public GameModule {
public:
    MenuBoxManager() : GameModule("MenuBoxManager") {}
};

extern MenuBoxManager* menuBoxManager;
