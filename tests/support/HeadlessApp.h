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

#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

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

// The built game's data directories and files (Gfx, Levels, sound.txt ...)
// copied into the test's Data; false, copying nothing, when it was not built.
inline bool copyGameData(TempDir& dir, std::initializer_list<const char*> parts) {
    const std::filesystem::path data(LURVANE_GAME_DATA_DIR);
    if (!std::filesystem::exists(data / "Gfx" / "title.bmp"))
        return false;
    for (const char* part : parts)
        if (!std::filesystem::exists(data / part))
            return false;
    std::filesystem::create_directories(dir.file("Data"));
    for (const char* part : parts)
        std::filesystem::copy(data / part, dir.file(std::string("Data/") + part),
                              std::filesystem::copy_options::recursive);
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

// A key down at the frame and up two frames later; with text, the text the
// keyboard layout types with it.
inline void tapKey(HeadlessPlatform& platform, int frame, int scanCode,
                   const char* text = nullptr) {
    platform.keyAtFrame(frame, scanCode, true);
    if (text) {
        PlatformEvent e;
        e.type = PlatformEvent::TextInput;
        std::snprintf(e.text, sizeof e.text, "%s", text);
        platform.pushEventAtFrame(frame, e);
    }
    platform.keyAtFrame(frame + 2, scanCode, false);
}

// A script of taps: (frame, scan code) each.
inline void tapKeys(HeadlessPlatform& platform, std::initializer_list<std::pair<int, int>> taps) {
    for (const auto& [frame, scanCode] : taps)
        tapKey(platform, frame, scanCode);
}
