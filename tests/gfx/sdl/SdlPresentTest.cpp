// Presenting through the SDL back end on SDL's dummy video driver: full
// screen scales the 640x480 picture with its aspect kept, and mouse
// positions come back in the picture's coordinates.
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/sdl/SdlPlatform.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>

#include <cstdlib>
#include <utility>
#include <vector>

namespace {

SDL_Window* newestWindow() {
    SDL_Window* found = nullptr;
    for (Uint32 id = 1; id < 1000; ++id)
        if (SDL_Window* w = SDL_GetWindowFromID(id))
            found = w;
    return found;
}

// Pushes a left click at window position (x, y); where it lands on the
// picture, or (-1, -1) when no press comes back.
std::pair<int, int> clickAt(SdlPlatform& platform, SDL_Window* window, int x, int y) {
    SDL_Event click{};
    click.type = SDL_MOUSEBUTTONDOWN;
    click.button.windowID = SDL_GetWindowID(window);
    click.button.button = SDL_BUTTON_LEFT;
    click.button.state = SDL_PRESSED;
    click.button.x = x;
    click.button.y = y;
    SDL_PushEvent(&click);
    SDL_Event release = click;
    release.type = SDL_MOUSEBUTTONUP;
    release.button.state = SDL_RELEASED;
    SDL_PushEvent(&release);
    std::pair<int, int> at{-1, -1};
    PlatformEvent any;
    while (platform.pollEvent(any))
        if (any.type == PlatformEvent::MouseButtonDown && at.first < 0)
            at = {any.x, any.y};
    return at;
}

// The colours shown at window pixels, as 0xRRGGBB.
void expectShown(SDL_Window* window, std::initializer_list<std::array<int, 3>> pixels) {
    for (const auto& [x, y, colour] : pixels) {
        Uint32 pixel = 0xDEAD;
        const SDL_Rect one = {x, y, 1, 1};
        SDL_RenderReadPixels(SDL_GetRenderer(window), &one, SDL_PIXELFORMAT_ARGB8888, &pixel, 4);
        EXPECT_EQ(pixel & 0xFFFFFF, static_cast<Uint32>(colour)) << x << "," << y;
    }
}

// Takes what the platform queued (a resize, the window shown).
void drain(SdlPlatform& platform) {
    PlatformEvent event;
    while (platform.pollEvent(event)) {
    }
}

} // namespace

TEST(SdlPresent, FullScreenScalesThePictureAndClicksMapBackToIt) {
    ::setenv("SDL_VIDEODRIVER", "dummy", 1);
    SdlPlatform platform;
    ASSERT_TRUE(platform.isUsable());
    EXPECT_FALSE(platform.createWindow("Lurvane", 0, 480));
    ASSERT_TRUE(platform.createWindow("Lurvane", 640, 480));
    SDL_Window* window = newestWindow();
    ASSERT_NE(window, nullptr);
    int minWidth = 0, minHeight = 0;
    SDL_GetWindowMinimumSize(window, &minWidth, &minHeight);
    EXPECT_EQ(minWidth, 320);
    EXPECT_EQ(minHeight, 240);

    GfxScreen screen(&platform);
    ASSERT_EQ(screen.CreateWindowed(&platform, 640, 480), 0);
    screen.GetBackSurface()->FillAll(screen.ConvertColor(0x00FF00));
    EXPECT_EQ(screen.Flip(1, 0, 0), 0);

    ASSERT_EQ(screen.ChangeVideoMode(640, 480, 16, 0), 0);
    EXPECT_TRUE(platform.isFullScreen());
    EXPECT_EQ(screen.GetBackSurface()->GetPixelFormat().depth, 16);
    screen.GetBackSurface()->FillAll(screen.ConvertColor(0x0000FF));
    EXPECT_EQ(screen.Flip(1, 0, 0), 0);
    drain(platform);
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    int desktopW = 0, desktopH = 0, bpp = 0;
    platform.desktopSize(desktopW, desktopH, bpp);
    EXPECT_EQ(w, desktopW);
    EXPECT_EQ(h, desktopH);
    EXPECT_EQ(clickAt(platform, window, w / 2, h / 2), (std::pair{320, 240}));

    // Back in a window that is wider than the picture: black bars at the
    // sides, and a click in the middle is still the picture's middle.
    ASSERT_EQ(screen.ChangeVideoMode(640, 480, 0, 0), 0);
    EXPECT_FALSE(platform.isFullScreen());
    SDL_SetWindowSize(window, 800, 480);
    drain(platform);
    screen.GetBackSurface()->FillAll(screen.ConvertColor(0x00FF00));
    EXPECT_EQ(screen.Flip(1, 1, 0), 0);
    expectShown(window, {{79, 240, 0}, {80, 240, 0x00FF00}, {719, 0, 0x00FF00}, {720, 0, 0}});
    EXPECT_EQ(clickAt(platform, window, 400, 240), (std::pair{320, 240}));
    EXPECT_EQ(clickAt(platform, window, 100, 100), (std::pair{20, 100}));

    // The player makes the window twice as large: the frame shown one to
    // one fills it, and clicks still land on picture pixels.
    EXPECT_NE(SDL_GetWindowFlags(window) & SDL_WINDOW_RESIZABLE, 0u);
    SDL_SetWindowSize(window, 1280, 960);
    drain(platform);
    EXPECT_EQ(screen.Flip(1, 0, 0), 0);
    expectShown(window, {{0, 0, 0x00FF00}, {1279, 959, 0x00FF00}});
    EXPECT_EQ(clickAt(platform, window, 1279, 959), (std::pair{639, 479}));
    EXPECT_EQ(clickAt(platform, window, 3, 2), (std::pair{1, 1}));

    // A frame smaller than the client area: one to one it covers the
    // top-left part of the scaled client area, stretched all of it.
    const std::vector<uint32_t> small(320 * 240, 0x0000FF);
    platform.present(small.data(), 320, 240, 320 * 4, false);
    expectShown(window, {{639, 479, 0x0000FF}, {640, 479, 0}, {639, 480, 0}});
    platform.present(small.data(), 320, 240, 320 * 4, true);
    expectShown(window, {{1279, 959, 0x0000FF}});
    // The window uncovered or resized shows the last frame again.
    SDL_SetWindowSize(window, 640, 960);
    drain(platform);
    expectShown(window, {{320, 239, 0}, {320, 240, 0x0000FF}, {639, 719, 0x0000FF}});
}

// A window out of sight runs no frames: minimised, hidden or without the
// focus it is inactive; restored, shown or focused it is active again.
TEST(SdlPresent, AWindowOutOfSightIsInactive) {
    ::setenv("SDL_VIDEODRIVER", "dummy", 1);
    SdlPlatform platform;
    ASSERT_TRUE(platform.createWindow("Lurvane", 640, 480));
    SDL_Window* window = newestWindow();
    drain(platform);
    const std::pair<SDL_WindowEventID, PlatformEvent::Type> cases[] = {
        {SDL_WINDOWEVENT_MINIMIZED, PlatformEvent::Deactivated},
        {SDL_WINDOWEVENT_RESTORED, PlatformEvent::Activated},
        {SDL_WINDOWEVENT_HIDDEN, PlatformEvent::Deactivated},
        {SDL_WINDOWEVENT_SHOWN, PlatformEvent::Activated},
        {SDL_WINDOWEVENT_FOCUS_LOST, PlatformEvent::Deactivated},
        {SDL_WINDOWEVENT_FOCUS_GAINED, PlatformEvent::Activated},
        {SDL_WINDOWEVENT_MOVED, PlatformEvent::None},
    };
    for (const auto& [sdlEvent, expected] : cases) {
        SDL_Event sdl{};
        sdl.type = SDL_WINDOWEVENT;
        sdl.window.windowID = SDL_GetWindowID(window);
        sdl.window.event = sdlEvent;
        SDL_PushEvent(&sdl);
        int got = PlatformEvent::None; // -1 for more than one event
        for (PlatformEvent event; platform.pollEvent(event);)
            got = got == PlatformEvent::None ? event.type : -1;
        EXPECT_EQ(got, expected) << "window event " << int{sdlEvent};
    }
}
