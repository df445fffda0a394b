// The headless screen the game benchmarks draw on: a 640x480 window on a
// 16-bit desktop, its windowed screen and back surface, set in the
// application state.
#pragma once

#include "Src/core/Application.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/HeadlessPlatform.h"

#include <functional>

class SixteenBitPlatform : public HeadlessPlatform {
public:
    void desktopSize(int& width, int& height, int& bitsPerPixel) const override {
        width = 640;
        height = 480;
        bitsPerPixel = 16;
    }
};

struct BenchScreen {
    BenchScreen() {
        platform.createWindow("Lurvane", 640, 480);
        screen.CreateWindowed(&platform, 640, 480);
        back.Create(&screen, 640, 480, 2);
        app = ApplicationState();
        app.platform = &platform;
        app.screen = &screen;
        app.backSurface = &back;
    }
    SixteenBitPlatform platform;
    GfxScreen screen{&platform};
    GfxSurface back;
};
