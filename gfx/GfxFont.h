// A font for text on surfaces, made from a face name, a character width and
// height and a weight as the game asks for them. The font system behind it
// (one back-end file) picks the installed face that answers the request and
// renders text without anti-aliasing. Fonts asking for the same face share
// it, and with it the lines of text already rendered in it.
#pragma once

#include "lib/String.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

class GfxTextCache;

// A horizontal stretch of ink in a rendered line.
struct GfxInkRun {
    int row = 0, left = 0, length = 0;
};

// One line of rendered text: a byte per pixel, non-zero where ink is.
// Its size is exactly what measuring the same text gives. Kept lines also
// list their ink as runs, so drawing them touches only the ink.
// Makes room for n elements in a buffer that is reused for lines of many
// sizes, rounded up to a power of two so that it grows only a few times.
template <typename Buffer> void reserveRounded(Buffer& buffer, size_t n) {
    if (n > buffer.capacity())
        buffer.reserve(std::bit_ceil(n));
}

struct GfxTextMask {
    int width = 0, height = 0;
    std::vector<uint8_t> ink;
    std::vector<GfxInkRun> runs;

    // Lists the runs of ink, row by row from the left.
    void findRuns();
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

    // Makes this font answer another request, as create would; false (the
    // font unchanged) when no face can be had.
    virtual bool reopen(const char* face, int width, int height, int weight) = 0;

    // Width and height in pixels of the first length bytes of text.
    virtual bool measure(const char* text, int length, int& width, int& height) const = 0;
    virtual bool render(const char* text, int length, GfxTextMask& mask) const = 0;

    // The same through the face's kept lines: a line rendered before is not
    // rendered again. The mask stays valid until the next call on a font of
    // the same face; null when rendering fails.
    const GfxTextMask* renderKept(const char* text, int length) const;
    bool measureKept(const char* text, int length, int& width, int& height) const;

protected:
    GfxFont();
    // The face's kept lines; null keeps nothing.
    virtual GfxTextCache* lines() const { return nullptr; }

private:
    mutable GfxTextMask scratch_;
};
