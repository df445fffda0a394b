// A headless platform whose desktop has the given depth and the window's
// size, so a screen can be made in any pixel format without a real window;
// and reading the pixels of what was drawn.
#pragma once

#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/HeadlessPlatform.h"
#include "tests/support/SurfacePixels.h"

#include <gtest/gtest.h>

class DepthPlatform : public HeadlessPlatform {
public:
    DepthPlatform(int bpp, int width, int height, uint32_t readStep = 1)
        : HeadlessPlatform(readStep), bpp_(bpp), width_(width), height_(height) {
        createWindow("Lurvane", width, height);
    }
    void desktopSize(int& width, int& height, int& bitsPerPixel) const override {
        width = width_;
        height = height_;
        bitsPerPixel = bpp_;
    }

private:
    int bpp_, width_, height_;
};

// A windowed screen of the given depth on its own platform.
struct DepthScreen {
    explicit DepthScreen(int bpp, int width = 64, int height = 48) : platform(bpp, width, height) {
        EXPECT_EQ(screen.CreateWindowed(&platform, width, height), 0);
    }
    DepthPlatform platform;
    GfxScreen screen{&platform};
};
