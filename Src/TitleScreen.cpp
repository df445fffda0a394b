// Stand-in until the title screen is built: the front end shares these
// with its sub-screens.
#include "TitleScreen.h"

TextList* controlsPanel = nullptr;

bool runTitleScreen() {
    return false;
}
void setInfoPanel(int) {}
void setPanelCountdown(int) {}
void playMenuSound(int) {}
void updateTitleMusic() {}
void drawTitleBackground() {}
void refreshHighScorePanel() {}
