// The main menu's zone choice: a menu of every zone the catalogue holds.
#pragma once

// Runs the zone menu placed relative to (x, y); gives the zone to use, or -1
// when nothing is to change. A cancelled menu gives the current zone.
int selectZone(int x, int y);
