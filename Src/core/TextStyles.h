// The game's three text styles: the information panels, the high score
// list and the text pages.
#pragma once

#include "widgets/TextStyle.h"

class GfxScreen;

// Filled at start-up with colours converted for the screen.
extern TextStyle highScoreStyle;
extern TextStyle textPageStyle;
extern TextStyle panelStyle;

void setUpTextStyles(GfxScreen* screen);
