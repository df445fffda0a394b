// The display: a back surface where a frame is composed and the platform
// window that shows it. (Minimal form; the full layer replaces it.)
#pragma once

#include "GfxSurface.h"

class Platform;

class GfxScreen {
public:
    explicit GfxScreen(Platform* platform) : platform_(platform) {}
    ~GfxScreen();

    int CreateWindowed(Platform* window, int width, int height);
    int ChangeVideoMode(int width, int height, int bitsPerPixel, int standardVGA);
    int Flip(int waitForRetrace, int stretch, int showFPS);

    GfxSurface* GetBackSurface() { return back_; }
    Platform* GetWindow() { return platform_; }
    bool IsFullScreen() const { return fullScreen_; }

private:
    Platform* platform_;
    GfxSurface* back_ = nullptr;
    bool fullScreen_ = false;
};
