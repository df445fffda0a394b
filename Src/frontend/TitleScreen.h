// The title screen and main menu, and what its sub-screens share with it:
// the living background under their menus, the menu sounds, the title
// music and the information panels.
#pragma once

class HighScorePanel;
class MenuBox;
class TextList;
class WelcomeScroller;

// The whole front end; true when a game is to start.
bool runTitleScreen();
// Selects information panel n for its number of frames.
void setInfoPanel(int n);
// Frames left for the information panel shown now; 1 moves on at once.
void setPanelCountdown(int frames);
// The move (kind below 2) and choice sounds of every front-end menu; they
// play only while the title music is off.
void playMenuSound(int kind);
// Starts or stops the title music after the option.
void updateTitleMusic();
// Picture, scroller and information panel onto the back surface.
void drawTitleBackground();
// Fills the high score panel from the table of the chosen zone and skill.
void refreshHighScorePanel();

// The keyboard controls panel, built by the options screen, shown and
// deleted by the title screen.
extern TextList* controlsPanel;

// The pieces of the front end, for the screens opened from it and for tests
// that drive one frame at a time.
bool enterTitleScreen();
void leaveTitleScreen();
void titleFrame();
// Builds the statistics panel when missing and fills it from the record.
void buildStatisticsPanel();

// What the front end shows now; null while it is not running.
MenuBox* titleMainMenu();
HighScorePanel* titleHighScorePanel();
TextList* titleStatisticsPanel();
WelcomeScroller& welcomeScroller();
int infoPanel();
int panelCountdown();
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
