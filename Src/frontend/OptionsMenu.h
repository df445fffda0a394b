// The options menu and the key configuration opened from the main menu.
#pragma once

class MenuBox;
struct KeySet;

// Runs the options menu with its top left corner at (x, y). When the
// full-screen switch was chosen, loopResult is 5 on return.
void runOptions(int x, int y);

// Runs the key configuration of keys (player 1's keys of the options) with
// its menu placed below and right of (x, y). Escape restores the options as
// they were on opening.
void configureKeys(int x, int y, KeySet* keys);

// The two menus as they open, filled from the current options; the caller
// owns them. The key menu names the keys of keys.
MenuBox* makeOptionsMenu(int x, int y);
MenuBox* makeKeysMenu(int x, int y, KeySet* keys);
