// What the title screen shares with the screens opened from it: the living
// background under their menus (the title picture, the welcome scroller and
// the information panels), the menu sounds and the title music switch.
#pragma once

class GfxSurface;
class HighScorePanel;
class TextList;
class WelcomeScroller;

// Selects information panel n for its number of frames.
void setInfoPanel(int n);
// Frames left for the information panel shown now; 1 moves on at once.
void setPanelCountdown(int frames);
// The move (kind below 2) and choice sounds of every front-end menu; they
// play only while the title music is off.
void playMenuSound(int kind);
// Starts or stops the title music after the option.
void updateTitleMusic();
// Stops the title music when it is on.
void stopTitleMusic();
// Picture, scroller and information panel onto the back surface.
void drawTitleBackground();

// Fills the high score panel from the table of the chosen zone and skill.
void refreshHighScorePanel();
// Builds the statistics panel when missing and fills it from the record.
void buildStatisticsPanel();
// Builds or refreshes the keyboard controls panel from player 1's keys.
void buildControlsPanel();
// The keyboard controls panel; null while the title screen is not up.
extern TextList* controlsPanel;

// Setting up and taking down the background, in the title screen's order:
// the panels, the picture with its backdrop, then the scroller.
void setTitleDrawTarget(GfxSurface* target);
void createTitlePanels();
bool loadTitlePicture();
bool setUpWelcomeScroller();
void releaseWelcomeScroller();
void releaseTitleBackground();

// What the background shows now, for the screens and for tests.
HighScorePanel* titleHighScorePanel();
TextList* titleStatisticsPanel();
WelcomeScroller& welcomeScroller();
int infoPanel();
int panelCountdown();
