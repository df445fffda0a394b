// The real frame loop on SDL's dummy video driver.
#include "Src/core/Application.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/sdl/SdlPlatform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

TEST(SdlLoop, RunsTimedFramesHeadless) {
    ::setenv("SDL_VIDEODRIVER", "dummy", 1);
    SdlPlatform platform;
    ASSERT_TRUE(platform.isUsable());
    ASSERT_TRUE(platform.createWindow("Lurvane", 640, 480));
    EXPECT_FALSE(platform.hasDisplay());

    app = ApplicationState();
    app.platform = &platform;
    app.appActive = 1;
    app.framesPerSecond = 55;
    GfxScreen screen(&platform);
    ASSERT_EQ(screen.CreateWindowed(&platform, 640, 480), 0);
    app.screen = &screen;

    int frames = 0;
    LoopCallbacks loop;
    loop.frame = [&] {
        if (++frames == 10)
            app.loopResult = kLoopChoice;
    };
    const auto start = std::chrono::steady_clock::now();
    winloop(loop, true);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    EXPECT_EQ(frames, 10);
    EXPECT_GE(ms, 9 * 18); // ten periods of 18 ms at least: the real clock paces them
    app = ApplicationState();
}
