#include "GfxScreen.h"

#include "Platform.h"

GfxScreen::~GfxScreen() {
    delete back_;
}

int GfxScreen::CreateWindowed(Platform* window, int width, int height) {
    if (!window || !window->hasWindow() || back_)
        return -1;
    platform_ = window;
    back_ = new GfxSurface;
    if (back_->Create(this, width, height, 1) < 0) {
        delete back_;
        back_ = nullptr;
        return -8;
    }
    fullScreen_ = false;
    return 0;
}

int GfxScreen::ChangeVideoMode(int width, int height, int bitsPerPixel, int) {
    if (!platform_)
        return -1;
    delete back_;
    back_ = nullptr;
    const bool full = bitsPerPixel > 0;
    if (!platform_->setFullScreen(full))
        return full ? -4 : -1;
    const int result = CreateWindowed(platform_, width, height);
    fullScreen_ = full;
    return result;
}

int GfxScreen::Flip(int, int stretch, int) {
    if (!platform_ || !back_)
        return -1;
    platform_->present(back_->Pixels(), back_->GetWidth(), back_->GetHeight(), back_->Pitch(),
                       stretch != 0);
    return 0;
}
