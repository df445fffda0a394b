// A headless platform whose desktop has the given depth and the window's
// size, so a screen can be made in any pixel format without a real window.
#pragma once

#include "gfx/HeadlessPlatform.h"

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
    int bpp_;
    int width_;
    int height_;
};
