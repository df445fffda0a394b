// What the game's tests set up before a screen can run: the built game's
// pictures copied into the test's Data\Gfx, and a fresh application state
// with a 640x480 window, its windowed screen and the back surface.
#pragma once

#include "Src/core/Application.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/HeadlessPlatform.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>

// False, copying nothing, when the game's data was not built.
inline bool copyGamePictures(TempDir& dir, std::initializer_list<const char*> names) {
    const std::filesystem::path data(LURVANE_GAME_DATA_DIR);
    for (const char* name : names)
        if (!std::filesystem::exists(data / "Gfx" / name))
            return false;
    std::filesystem::create_directories(dir.file("Data/Gfx"));
    for (const char* name : names)
        std::filesystem::copy_file(data / "Gfx" / name, dir.file(std::string("Data/Gfx/") + name));
    return true;
}

inline void openHeadlessApp(HeadlessPlatform& platform, std::unique_ptr<GfxScreen>& screen,
                            std::unique_ptr<GfxSurface>& back) {
    app = ApplicationState();
    app.platform = &platform;
    app.appActive = 1;
    ASSERT_TRUE(platform.createWindow("Lurvane", 640, 480));
    screen = std::make_unique<GfxScreen>(&platform);
    ASSERT_EQ(screen->CreateWindowed(&platform, 640, 480), 0);
    app.screen = screen.get();
    back = std::make_unique<GfxSurface>();
    ASSERT_EQ(back->Create(app.screen, 640, 480, 2), 0);
    app.backSurface = back.get();
}
