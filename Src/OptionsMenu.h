// The options menu and the key configuration opened from the main menu,
// and the keyboard controls panel of the title screen.
#pragma once

// Runs the options menu with its top left corner at (x, y). When the
// full-screen switch was chosen, loopResult is 5 on return.
void runOptions(int x, int y);
// Builds or refreshes the keyboard controls panel from player 1's keys.
void buildControlsPanel();
