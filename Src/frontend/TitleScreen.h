// The title screen and its main menu: the front end that leads to a game.
#pragma once

class MenuBox;

// The whole front end; true when a game is to start.
bool runTitleScreen();

// The pieces of the front end, for tests that drive one frame at a time.
bool enterTitleScreen();
void leaveTitleScreen();
void titleFrame();
// What the front end shows now; null while it is not running.
MenuBox* titleMainMenu();

// The main menu's entries.
enum MainMenuEntry : int {
    kMenuStart = 0,
    kMenuZone = 1,
    kMenuSkill = 2,
    kMenuOptions = 3,
    kMenuHelp = 4,
    kMenuCredits = 5,
    kMenuQuit = 6,
};
