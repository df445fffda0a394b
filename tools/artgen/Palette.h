// The 256-colour palette of 8-bit displays, made from the game's own
// pictures so that all of them keep their look when shown through it.
#pragma once

#include "tools/artgen/Bitmap.h"

#include <vector>

// Colours that must be in the palette as they are (black first), then as
// many more as fit, chosen by median cut of the pictures' colours, each
// picture counting the same whatever its size.
std::vector<Rgb> buildPalette(const std::vector<const RgbImage*>& pictures,
                              const std::vector<Rgb>& fixed);
int nearestIndex(const std::vector<Rgb>& palette, Rgb c);
IndexedImage toIndexed(const RgbImage& image, const std::vector<Rgb>& palette);
