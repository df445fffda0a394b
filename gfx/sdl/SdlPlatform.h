// The platform on SDL2: one window with a renderer and a streaming texture
// that shows the finished 640x480 frame, SDL's event queue and timer. The
// window opens at the largest whole multiple of the picture that fits the
// desktop, can be resized, and shows the picture scaled sharp with its
// aspect kept; mouse positions come back in the picture's coordinates.
#pragma once

#include "gfx/Platform.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
union SDL_Event;

class SdlPlatform : public Platform {
public:
    // appId names the window to the desktop (its X11 class and Wayland app
    // id), so that it is matched to the desktop entry of that name.
    explicit SdlPlatform(const char* appId = nullptr);
    ~SdlPlatform() override;
    SdlPlatform(const SdlPlatform&) = delete;
    SdlPlatform& operator=(const SdlPlatform&) = delete;

    // False when SDL's video system could not start at all.
    bool isUsable() const { return initialised_; }

    uint32_t milliseconds() override;
    void sleep(uint32_t ms) override;
    uint64_t microseconds() override;
    void sleepMicroseconds(uint32_t us) override;

    bool createWindow(const char* title, int width, int height) override;
    void destroyWindow() override;
    bool hasWindow() const override { return window_ != nullptr; }
    bool hasDisplay() const override;

    bool pollEvent(PlatformEvent& event) override;
    bool waitEvent(PlatformEvent& event) override;

    void showMessageBox(const char* caption, const char* text) override;
    void present(const uint32_t* pixels, int width, int height, int pitch, bool stretch) override;
    bool setFullScreen(bool fullScreen) override;
    bool isFullScreen() const override { return fullScreen_; }
    void desktopSize(int& width, int& height, int& bitsPerPixel) const override;
    // Made in SdlInputDevices.cpp, with the rest of the SDL input code.
    GfxInputDevices* createInputDevices() override;

    // The window's icon as 0xAARRGGBB pixels, row by row; the caller keeps
    // them alive. Given before the window exists, it is set when it opens.
    void setIcon(const uint32_t* pixels, int width, int height);

protected:
    void applyCursor(bool visible) override;

private:
    bool translate(const SDL_Event& sdl, PlatformEvent& event);
    void applyIcon();
    // Window position to picture position, at the window's present size.
    void toPicture(int windowX, int windowY, int& x, int& y) const;
    // Shows the last frame again (after a resize or when uncovered).
    void repaint();

    bool initialised_ = false;
    bool fullScreen_ = false;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int width_ = 0, height_ = 0;
    int textureWidth_ = 0, textureHeight_ = 0;
    int sourceWidth_ = 0, sourceHeight_ = 0; // the part of the frame shown
    bool sourceStretched_ = false;           // ...filling the client area
    int windowedWidth_ = 0, windowedHeight_ = 0;
    const uint32_t* iconPixels_ = nullptr;
    int iconWidth_ = 0, iconHeight_ = 0;
};
