// The one place where the game's Windows-style paths (".\Data\Levels",
// "..\..\Gfx\items.bmp") become host paths. Data written for a case-
// insensitive file system names files loosely, so a component that differs
// from the one on disk only in letter case is found as well.
#pragma once

#include "lib/String.h"

String hostPath(const char* path);
