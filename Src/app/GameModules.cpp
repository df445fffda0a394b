#include "HighScoreManager.h"
#include "InputManager.h"
#include "MenuBoxManager.h"

HighScoreManager* highScoreManager = nullptr;
MenuBoxManager* menuBoxManager = nullptr;
InputManager* inputManager = nullptr;
