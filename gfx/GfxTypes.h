// Plain types shared by the whole graphics layer: rectangles, palette
// entries, memory placements, pixel formats and the layer's result codes.
#pragma once

#include <cstdint>

// Right and bottom are exclusive.
struct GfxRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// One palette slot in display order: red, green, blue, flags.
struct GfxPaletteEntry {
    uint8_t red = 0, green = 0, blue = 0, flags = 0;
};

// Where a surface's pixels should live. Our pixel stores all live in main
// memory; the placement is recorded because a mode change asks for a
// surface that was in video memory as Any.
enum SurfaceMemory : int {
    kSurfaceMemoryVideo = 0,
    kSurfaceMemorySystem = 1,
    kSurfaceMemoryAny = 2,
};

// Result codes. Success is 0 or positive; the failure codes keep the values
// the game's callers were written against.
constexpr int32_t kGfxOk = 0;
constexpr int32_t kGfxFailed = -1;
constexpr int32_t kGfxErrFail = static_cast<int32_t>(0x80004005u);
constexpr int32_t kGfxErrInvalidArg = static_cast<int32_t>(0x80070057u);
constexpr int32_t kGfxErrOutOfMemory = static_cast<int32_t>(0x8007000Eu);
constexpr int32_t kGfxErrInvalidPixelFormat = static_cast<int32_t>(0x88760091u);
constexpr int32_t kGfxErrInvalidRect = static_cast<int32_t>(0x88760096u);
constexpr int32_t kGfxErrSurfaceBusy = static_cast<int32_t>(0x887601AEu);
constexpr int32_t kGfxErrSurfaceLost = static_cast<int32_t>(0x887601C2u);
constexpr int32_t kGfxErrWasStillDrawing = static_cast<int32_t>(0x8876021Cu);
constexpr int32_t kGfxErrNotLocked = static_cast<int32_t>(0x88760248u);
constexpr int32_t kGfxErrNoDC = static_cast<int32_t>(0x88760245u);

// The largest surface or image side we accept, and the largest area, so
// that a hostile file cannot make us allocate without bound.
constexpr int kGfxMaxSide = 16384;
constexpr int64_t kGfxMaxPixels = 16LL * 1024 * 1024;

// A pixel format as a pixel store describes it: bit count and the masks of
// the three colour channels (all zero for palette indices).
struct GfxPixelFormat {
    int bitsPerPixel = 0;
    uint32_t redMask = 0, greenMask = 0, blueMask = 0;
    bool isRGB = false; // false for palette indices

    int bytesPerPixel() const { return (bitsPerPixel + 7) / 8; }
    bool operator==(const GfxPixelFormat& other) const = default;

    // The format the display uses for a depth code (8, 15, 16, 24, 32);
    // an empty format for any other value.
    static GfxPixelFormat forDepth(int depth);
};

// What a surface keeps after analysing its format: each channel's mask
// shifted down to bit 0 and its shift, and the depth code that selects the
// pixel routines (8, 15, 16, 24, 32, or 0 for an unusable format).
struct PixelFormatInfo {
    uint8_t blueMask = 0, greenMask = 0, redMask = 0;
    uint8_t blueShift = 0, greenShift = 0, redShift = 0;
    int32_t depth = 0;
};

// Analyses a format; false (and depth 0) when it cannot be drawn on.
bool analysePixelFormat(const GfxPixelFormat& format, PixelFormatInfo& info);

// Places the top bits of each 8-bit component of a 0x00BBGGRR colour into
// the channels of the format; an indexed format gets the value unchanged.
uint32_t convertColorToFormat(uint32_t colour, const GfxPixelFormat& format);

// The 3-3-2 colour cube: entry i has red ((i >> 5) & 7) * 255 / 7, green
// ((i >> 2) & 7) * 255 / 7, blue (i & 3) * 255 / 3.
void makeDefaultPalette(GfxPaletteEntry table[256]);
// The entry of a 256-colour table nearest to a 0x00BBGGRR colour.
uint8_t nearestPaletteIndex(const GfxPaletteEntry table[256], uint32_t colour);
