#include "SdlPlatform.h"

#include <SDL.h>

#include <cstring>

SdlPlatform::SdlPlatform() {
    initialised_ = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) == 0;
}

SdlPlatform::~SdlPlatform() {
    destroyWindow();
    if (initialised_)
        SDL_Quit();
}

uint32_t SdlPlatform::milliseconds() {
    return SDL_GetTicks();
}

void SdlPlatform::sleep(uint32_t ms) {
    SDL_Delay(ms);
}

bool SdlPlatform::hasDisplay() const {
    if (!initialised_)
        return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "offscreen") != 0;
}

bool SdlPlatform::createWindow(const char* title, int width, int height) {
    if (!initialised_ || window_)
        return false;
    window_ = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                               SDL_WINDOW_SHOWN);
    if (!window_)
        return false;
    renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (!renderer_)
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer_) {
        destroyWindow();
        return false;
    }
    // The picture keeps its aspect ratio when scaled; the rest stays black.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    width_ = width;
    height_ = height;
    updateLogicalSize(width, height);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderPresent(renderer_);
    return true;
}

void SdlPlatform::destroyWindow() {
    if (texture_)
        SDL_DestroyTexture(texture_);
    if (renderer_)
        SDL_DestroyRenderer(renderer_);
    if (window_)
        SDL_DestroyWindow(window_);
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
    textureWidth_ = textureHeight_ = 0;
}

void SdlPlatform::updateLogicalSize(int width, int height) {
    // Mouse positions come back in the logical picture's coordinates.
    SDL_RenderSetLogicalSize(renderer_, width, height);
}

bool SdlPlatform::translate(const SDL_Event& sdl, PlatformEvent& event) {
    event = PlatformEvent();
    switch (sdl.type) {
    case SDL_QUIT:
        event.type = PlatformEvent::Quit;
        return true;
    case SDL_WINDOWEVENT:
        switch (sdl.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            event.type = PlatformEvent::CloseRequest;
            return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_RESTORED:
            event.type = PlatformEvent::Activated;
            return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
        case SDL_WINDOWEVENT_MINIMIZED:
            event.type = PlatformEvent::Deactivated;
            return true;
        default:
            return false;
        }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        event.type = sdl.type == SDL_MOUSEBUTTONDOWN ? PlatformEvent::MouseButtonDown
                                                     : PlatformEvent::MouseButtonUp;
        event.x = sdl.button.x;
        event.y = sdl.button.y;
        event.button = sdl.button.button;
        return true;
    case SDL_MOUSEMOTION:
        event.type = PlatformEvent::MouseMotion;
        event.x = sdl.motion.x;
        event.y = sdl.motion.y;
        event.dx = sdl.motion.xrel;
        event.dy = sdl.motion.yrel;
        return true;
    case SDL_MOUSEWHEEL:
        event.type = PlatformEvent::MouseWheel;
        event.x = sdl.wheel.x;
        event.y = sdl.wheel.y;
        return true;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        event.type = sdl.type == SDL_KEYDOWN ? PlatformEvent::KeyDown : PlatformEvent::KeyUp;
        event.scancode = sdl.key.keysym.scancode;
        return !sdl.key.repeat;
    case SDL_TEXTINPUT:
        event.type = PlatformEvent::TextInput;
        std::memcpy(event.text, sdl.text.text, sizeof event.text - 1);
        event.text[sizeof event.text - 1] = '\0';
        return true;
    case SDL_JOYDEVICEADDED:
    case SDL_CONTROLLERDEVICEADDED:
        event.type = PlatformEvent::DeviceAdded;
        event.device = sdl.jdevice.which;
        return true;
    case SDL_JOYDEVICEREMOVED:
    case SDL_CONTROLLERDEVICEREMOVED:
        event.type = PlatformEvent::DeviceRemoved;
        event.device = sdl.jdevice.which;
        return true;
    default:
        return false;
    }
}

bool SdlPlatform::pollEvent(PlatformEvent& event) {
    if (!initialised_)
        return false;
    SDL_Event sdl;
    while (SDL_PollEvent(&sdl)) {
        if (translate(sdl, event)) {
            notifyListeners(event);
            return true;
        }
    }
    return false;
}

bool SdlPlatform::waitEvent(PlatformEvent& event) {
    if (!initialised_)
        return false;
    SDL_Event sdl;
    while (SDL_WaitEvent(&sdl)) {
        if (translate(sdl, event)) {
            notifyListeners(event);
            return true;
        }
    }
    return false;
}

void SdlPlatform::showCursor(bool visible) {
    if (initialised_)
        SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void SdlPlatform::showMessageBox(const char* caption, const char* text) {
    if (!hasDisplay())
        return;
    if (fullScreen_ && window_)
        SDL_MinimizeWindow(window_); // so the box is not hidden behind the game
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, window_);
}

void SdlPlatform::present(const uint32_t* pixels, int width, int height, int pitch, bool stretch) {
    if (!renderer_ || width <= 0 || height <= 0)
        return;
    if (!texture_ || textureWidth_ != width || textureHeight_ != height) {
        if (texture_)
            SDL_DestroyTexture(texture_);
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                     SDL_TEXTUREACCESS_STREAMING, width, height);
        if (!texture_)
            return;
        textureWidth_ = width;
        textureHeight_ = height;
    }
    SDL_UpdateTexture(texture_, nullptr, pixels, pitch);
    SDL_RenderClear(renderer_);
    if (stretch || fullScreen_) {
        SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    } else {
        const int w = width < width_ ? width : width_;
        const int h = height < height_ ? height : height_;
        const SDL_Rect part = {0, 0, w, h};
        SDL_RenderCopy(renderer_, texture_, &part, &part);
    }
    SDL_RenderPresent(renderer_);
}

bool SdlPlatform::setFullScreen(bool fullScreen) {
    if (!window_)
        return false;
    if (SDL_SetWindowFullscreen(window_, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0)
        return false;
    fullScreen_ = fullScreen;
    if (!fullScreen) {
        SDL_SetWindowSize(window_, width_, height_);
        SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    return true;
}

void SdlPlatform::desktopSize(int& width, int& height, int& bitsPerPixel) const {
    SDL_DisplayMode mode;
    if (initialised_ && SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        width = mode.w;
        height = mode.h;
        bitsPerPixel = static_cast<int>(SDL_BITSPERPIXEL(mode.format));
        if (bitsPerPixel == 24 && SDL_BYTESPERPIXEL(mode.format) == 4)
            bitsPerPixel = 32;
        return;
    }
    width = height = bitsPerPixel = -1;
}
