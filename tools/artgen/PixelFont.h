// The artwork's own lettering: a 5x7 pixel font of capitals, digits and a
// few signs, drawn at any whole-number scale.
#pragma once

#include <string>

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;

// Whether the glyph of c has its pixel at column x, row y; characters
// without a glyph are blank. Lower-case letters use the capitals.
bool glyphPixel(char c, int x, int y);
// Width of a text in font pixels: each glyph and a gap of one.
int textWidth(const std::string& text);
