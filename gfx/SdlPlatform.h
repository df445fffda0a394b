// The platform on SDL2: one window with a renderer and a streaming texture
// that shows the finished 640x480 frame, SDL's event queue and timer.
#pragma once

#include "Platform.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
union SDL_Event;

class SdlPlatform : public Platform {
public:
    SdlPlatform();
    ~SdlPlatform() override;
    SdlPlatform(const SdlPlatform&) = delete;
    SdlPlatform& operator=(const SdlPlatform&) = delete;

    // False when SDL's video system could not start at all.
    bool isUsable() const { return initialised_; }

    uint32_t milliseconds() override;
    void sleep(uint32_t ms) override;

    bool createWindow(const char* title, int width, int height) override;
    void destroyWindow() override;
    bool hasWindow() const override { return window_ != nullptr; }
    bool hasDisplay() const override;

    bool pollEvent(PlatformEvent& event) override;
    bool waitEvent(PlatformEvent& event) override;

    void showCursor(bool visible) override;
    void showMessageBox(const char* caption, const char* text) override;
    void present(const uint32_t* pixels, int width, int height, int pitch, bool stretch) override;
    bool setFullScreen(bool fullScreen) override;
    bool isFullScreen() const override { return fullScreen_; }
    void desktopSize(int& width, int& height, int& bitsPerPixel) const override;
    // Made in SdlInputDevices.cpp, with the rest of the SDL input code.
    GfxInputDevices* createInputDevices() override;

private:
    bool translate(const SDL_Event& sdl, PlatformEvent& event);
    void updateLogicalSize(int width, int height);

    bool initialised_ = false;
    bool fullScreen_ = false;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int width_ = 0, height_ = 0;
    int textureWidth_ = 0, textureHeight_ = 0;
};
