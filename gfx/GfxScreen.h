// The display: a front surface (what is visible) and a back surface (where
// a frame is composed), the display mode, an optional 8-bit palette, the
// frame counter and the registry of every other surface, so that a mode
// change can rebuild them all. Presenting converts the back surface into
// 32-bit colour and hands it to the platform window.
#pragma once

#include "gfx/GfxSurface.h"
#include "gfx/GfxTypes.h"

#include <cstdint>
#include <vector>

class Platform;

class GfxScreen {
public:
    // The platform gives the clock, the desktop's depth and the window that
    // shows the frames; without one the screen has no window and draws in
    // 32-bit colour (tools use it that way).
    explicit GfxScreen(Platform* platform);
    ~GfxScreen();
    GfxScreen(const GfxScreen&) = delete;
    GfxScreen& operator=(const GfxScreen&) = delete;

    // Results: 0; -1 without a window or with surfaces already made; -8
    // when the back surface cannot be made.
    int32_t CreateWindowed(Platform* window, int width, int height);
    // Results: 0; -1 with surfaces already made; -2 without a window; -4
    // when the mode cannot be set; -8 or -16 when the surfaces cannot be
    // made (with and without the video-memory preference).
    int32_t CreateFullScreen(Platform* window, int width, int height, int bitsPerPixel,
                             int standardVGA);
    // Bits per pixel 0 or less means windowed. Rebuilds every registered
    // surface in the new format and reloads its picture.
    int32_t ChangeVideoMode(int width, int height, int bitsPerPixel, int standardVGA);

    // Counts the frame, draws the "FPS = %d" overlay when asked, and shows
    // the back surface: stretched to the window, or one to one from its
    // top-left corner (full screen always scales, keeping the aspect).
    int32_t Flip(int waitForRetrace, int stretch, int showFPS);
    int32_t WaitForRetrace();
    int32_t RestoreSurfaces();
    // Simulates the display taking every surface's memory away (tests).
    void LoseSurfaces();

    // A 0x00BBGGRR colour as a pixel value of the surface (the back surface
    // when null); indexed formats get the value unchanged.
    uint32_t ConvertColor(uint32_t colour, const GfxSurface* surface = nullptr) const;

    // Takes the palette from a bitmap file's colour table, over the 3-3-2
    // colour cube. 0, kGfxErrInvalidArg for a null name, kGfxErrFail when
    // the file cannot be read.
    int32_t LoadPalette(const char* fileName);
    // Changes palette entries; without a palette nothing happens.
    int32_t SetPaletteEntries(int first, int count, const GfxPaletteEntry* entries);
    bool HasPalette() const { return hasPalette_; }
    // The colours 8-bit pixels show: the palette, or the 3-3-2 cube.
    const GfxPaletteEntry* GetColorTable() const {
        return hasPalette_ ? palette_ : defaultPalette_;
    }
    // The colour table entry nearest to a 0x00BBGGRR colour.
    uint8_t NearestPaletteIndex(uint32_t colour) const;
    static void MakeDefaultPalette(GfxPaletteEntry table[256]);

    GfxSurface* GetFrontSurface() const { return front_; }
    GfxSurface* GetBackSurface() const { return back_; }
    Platform* GetWindow() const { return window_ ? window_ : platform_; }
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    int GetBitsPerPixel() const { return bitsPerPixel_; }
    bool IsFullScreen() const { return fullScreen_ != 0; }
    // The format new surfaces get.
    const GfxPixelFormat& GetDisplayFormat() const { return displayFormat_; }

    int GetFramesPerSecond() const { return frames_.lastFramesPerSecond; }
    int GetFramesCounted() const { return frames_.frames; }

    int GetSurfaceCount() const { return surfaceCount_; }
    GfxSurface* GetFirstSurface() const { return firstSurface_; }

    void SetTripleBuffering(bool on) { tripleBuffering_ = on; }
    void SetBackBufferInVideoMemory(bool on) { backBufferInVideo_ = on; }

private:
    friend class GfxSurface;

    struct FrameCounter {
        int frames = 0;
        uint32_t accumulatedMs = 0;
        uint32_t previousFlip = 0;
        int lastFramesPerSecond = 0;
    };

    void registerSurface(GfxSurface* surface);
    void unregisterSurface(GfxSurface* surface);
    void deleteSurfaces();
    int32_t rebuildSurfaces();
    GfxSurface* makeScreenSurface(std::unique_ptr<GfxPixelStore> store);
    void present(bool stretch);
    uint32_t now() const;

    Platform* platform_ = nullptr;
    Platform* window_ = nullptr;
    GfxSurface* front_ = nullptr;
    GfxSurface* back_ = nullptr;
    int width_ = 0, height_ = 0, bitsPerPixel_ = 0;
    int fullScreen_ = 0;
    bool tripleBuffering_ = false;
    bool backBufferInVideo_ = true;
    GfxPixelFormat displayFormat_;
    FrameCounter frames_;

    bool hasPalette_ = false;
    GfxPaletteEntry palette_[256];
    GfxPaletteEntry defaultPalette_[256];

    GfxSurface* firstSurface_ = nullptr;
    GfxSurface* lastSurface_ = nullptr;
    int surfaceCount_ = 0;

    std::vector<uint32_t> presentBuffer_;
};
