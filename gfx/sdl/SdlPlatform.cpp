#include "gfx/sdl/SdlPlatform.h"

#include "gfx/PictureFit.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

// Whether the renderer draws through an OpenGL driver that runs on the CPU
// (no GPU, as on a virtual X server). Scaling the picture costs more there
// than in SDL's own software renderer.
bool drawsWithSoftwareOpenGl(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || std::strncmp(info.name, "opengl", 6) != 0)
        return false;
    using GetString = const unsigned char* (*)(unsigned int);
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    constexpr unsigned int kGlRenderer = 0x1F01;
    const char* name = getString ? reinterpret_cast<const char*>(getString(kGlRenderer)) : nullptr;
    if (!name)
        return false;
    for (const char* software : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"})
        if (std::strstr(name, software))
            return true;
    return false;
}

SDL_Renderer* createRenderer(SDL_Window* window) {
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
    // A renderer the player asked for by name is kept.
    if (renderer && !SDL_GetHint(SDL_HINT_RENDER_DRIVER) && drawsWithSoftwareOpenGl(renderer)) {
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
        // Nor may SDL show the software renderer's window surface through
        // that same OpenGL: handing the pixels to the window system (shared
        // memory on X11) costs less than half as much.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    }
    if (!renderer)
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    return renderer;
}

} // namespace

SdlPlatform::SdlPlatform(const char* appId) {
    if (appId) {
        // Read by SDL's X11 and Wayland drivers when they make the window.
        setenv("SDL_VIDEO_X11_WMCLASS", appId, 1);
        setenv("SDL_VIDEO_WAYLAND_WMCLASS", appId, 1);
    }
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

uint64_t SdlPlatform::microseconds() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(since).count());
}

void SdlPlatform::sleepMicroseconds(uint32_t us) {
    std::this_thread::sleep_for(std::chrono::microseconds(us));
}

bool SdlPlatform::hasDisplay() const {
    if (!initialised_)
        return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "offscreen") != 0;
}

bool SdlPlatform::createWindow(const char* title, int width, int height) {
    if (!initialised_ || window_ || width <= 0 || height <= 0)
        return false;
    window_ = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                               SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!window_)
        return false;
    renderer_ = createRenderer(window_);
    if (!renderer_) {
        destroyWindow();
        return false;
    }
    // Scaled pixels stay sharp.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    width_ = width;
    height_ = height;
    applyIcon();
    SDL_SetWindowMinimumSize(window_, width / 2, height / 2);

    // The largest whole multiple that fits the desktop's usable area with
    // the window's frame, in the window system's units (points on high-DPI
    // displays, so the multiple is the same as on a plain one).
    SDL_Rect usable;
    const int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
    if (SDL_GetDisplayUsableBounds(display, &usable) == 0) {
        int top = 0, left = 0, bottom = 0, right = 0;
        if (SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) != 0)
            top = left = bottom = right = 0;
        const int scale =
            wholeWindowScale(usable.w - left - right, usable.h - top - bottom, width, height);
        if (scale > 1) {
            SDL_SetWindowSize(window_, width * scale, height * scale);
            SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                                  SDL_WINDOWPOS_CENTERED_DISPLAY(display));
        }
    }
    SDL_GetWindowSize(window_, &windowedWidth_, &windowedHeight_);
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

void SdlPlatform::setIcon(const uint32_t* pixels, int width, int height) {
    iconPixels_ = pixels;
    iconWidth_ = width;
    iconHeight_ = height;
    applyIcon();
}

void SdlPlatform::applyIcon() {
    if (!window_ || !iconPixels_ || iconWidth_ <= 0 || iconHeight_ <= 0)
        return;
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(iconPixels_), iconWidth_, iconHeight_, 32, iconWidth_ * 4,
        SDL_PIXELFORMAT_ARGB8888);
    if (!icon)
        return;
    SDL_SetWindowIcon(window_, icon);
    SDL_FreeSurface(icon);
}

void SdlPlatform::toPicture(int windowX, int windowY, int& x, int& y) const {
    PictureView view;
    SDL_GetWindowSize(window_, &view.windowWidth, &view.windowHeight);
    if (SDL_GetRendererOutputSize(renderer_, &view.outputWidth, &view.outputHeight) != 0) {
        view.outputWidth = view.windowWidth;
        view.outputHeight = view.windowHeight;
    }
    view.pictureWidth = width_;
    view.pictureHeight = height_;
    view.toPicture(windowX, windowY, x, y);
}

void SdlPlatform::repaint() {
    if (!renderer_)
        return;
    int outputWidth = 0, outputHeight = 0;
    SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight);
    SDL_Rect target = {0, 0, 0, 0};
    if (texture_) {
        const PictureRect place = fitPicture(outputWidth, outputHeight, width_, height_);
        target = {place.x, place.y, place.width, place.height};
        if (!sourceStretched_) {
            // One to one within the client area, which is shown scaled.
            target.w = static_cast<int>(int64_t{place.width} * sourceWidth_ / width_);
            target.h = static_cast<int>(int64_t{place.height} * sourceHeight_ / height_);
        }
    }
    // Only a border needs clearing; clearing a large window costs about as
    // much as drawing the picture into it.
    if (target.x > 0 || target.y > 0 || target.w < outputWidth || target.h < outputHeight)
        SDL_RenderClear(renderer_);
    if (texture_) {
        const SDL_Rect source = {0, 0, sourceWidth_, sourceHeight_};
        SDL_RenderCopy(renderer_, texture_, &source, &target);
    }
    SDL_RenderPresent(renderer_);
}

bool SdlPlatform::translate(const SDL_Event& sdl, PlatformEvent& event) {
    event = PlatformEvent();
    switch (sdl.type) {
    case SDL_QUIT:
        event.type = PlatformEvent::Quit;
        return true;
    case SDL_WINDOWEVENT:
        switch (sdl.window.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_EXPOSED:
            // No frame may run while the game is inactive; the picture is
            // still shown at the new size.
            repaint();
            return false;
        case SDL_WINDOWEVENT_CLOSE:
            event.type = PlatformEvent::CloseRequest;
            return true;
        // A window out of sight (minimised, or hidden on a desktop that does
        // not minimise) runs no frames, like one without the focus.
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SHOWN:
            event.type = PlatformEvent::Activated;
            return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_HIDDEN:
            event.type = PlatformEvent::Deactivated;
            return true;
        default:
            return false;
        }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        event.type = sdl.type == SDL_MOUSEBUTTONDOWN ? PlatformEvent::MouseButtonDown
                                                     : PlatformEvent::MouseButtonUp;
        toPicture(sdl.button.x, sdl.button.y, event.x, event.y);
        event.button = sdl.button.button;
        return true;
    case SDL_MOUSEMOTION:
        event.type = PlatformEvent::MouseMotion;
        toPicture(sdl.motion.x, sdl.motion.y, event.x, event.y);
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

void SdlPlatform::applyCursor(bool visible) {
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
        SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
        textureWidth_ = width;
        textureHeight_ = height;
    }
    SDL_UpdateTexture(texture_, nullptr, pixels, pitch);
    sourceStretched_ = stretch || fullScreen_;
    if (sourceStretched_) {
        sourceWidth_ = width;
        sourceHeight_ = height;
    } else {
        sourceWidth_ = width < width_ ? width : width_;
        sourceHeight_ = height < height_ ? height : height_;
    }
    repaint();
}

bool SdlPlatform::setFullScreen(bool fullScreen) {
    if (!window_)
        return false;
    if (fullScreen && !fullScreen_)
        SDL_GetWindowSize(window_, &windowedWidth_, &windowedHeight_);
    if (SDL_SetWindowFullscreen(window_, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0)
        return false;
    fullScreen_ = fullScreen;
    if (!fullScreen) {
        // Back to the size the player had, centred.
        SDL_SetWindowSize(window_, windowedWidth_, windowedHeight_);
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
