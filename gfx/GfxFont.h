// A font for text on surfaces, made from a face name, a character width and
// height and a weight as the game asks for them. The font system behind it
// (one back-end file) picks the installed face that answers the request and
// renders text without anti-aliasing.
#pragma once

#include "String.h"

#include <cstdint>
#include <vector>

// One line of rendered text: a byte per pixel, non-zero where ink is.
// Its size is exactly what measuring the same text gives.
struct GfxTextMask {
    int width = 0, height = 0;
    std::vector<uint8_t> ink;
};

class GfxFont {
public:
    // Height is the cell height in pixels (ascent plus descent); width is
    // the average character width, 0 for the face's natural width; weight
    // 100 to 900 (700 bold). Null when no face can be had.
    static GfxFont* create(const char* face, int width, int height, int weight);
    // The installed font file that answers a face and weight.
    static String fileFor(const char* face, int weight);
    // Fonts alive in the process (for tests of font replacement).
    static int liveCount();

    virtual ~GfxFont();
    GfxFont(const GfxFont&) = delete;
    GfxFont& operator=(const GfxFont&) = delete;

    // Width and height in pixels of the first length bytes of text.
    virtual bool measure(const char* text, int length, int& width, int& height) const = 0;
    virtual bool render(const char* text, int length, GfxTextMask& mask) const = 0;

protected:
    GfxFont();
};
