// What the game's tests set up before a screen can run: the built game's
// pictures copied into the test's Data\Gfx, and a fresh application state
// with a 640x480 window, its windowed screen and the back surface.
#pragma once

#include "Src/core/Application.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/HeadlessPlatform.h"
#include "tests/support/ScanCodes.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <memory>
#include <sstream>
#include <string>

// The built game's pictures copied into the test's Data\Gfx; false, copying
// nothing, when the game's data was not built.
inline bool copyGamePictures(TempDir& dir, std::initializer_list<const char*> names) {
    const std::filesystem::path gfx = std::filesystem::path(LURVANE_GAME_DATA_DIR) / "Gfx";
    if (!std::all_of(names.begin(), names.end(),
                     [&](const char* name) { return std::filesystem::exists(gfx / name); }))
        return false;
    std::filesystem::create_directories(dir.file("Data/Gfx"));
    for (const char* name : names)
        std::filesystem::copy_file(gfx / name, dir.file(std::string("Data/Gfx/") + name));
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

// Keys as data, frames counted from offset: "20:esc" a tap, "20:esc+" held
// down, "90:esc-" let go, "40-300:fire" a tap every 20 frames from 40 until
// 300, "240:z=Z" a tap typing the text after "=" ("_" types a space).
inline void scriptKeys(HeadlessPlatform& platform, const std::string& script, int offset = 0) {
    static const std::map<std::string, int> kKeys = {
        {"esc", kScanEscape}, {"enter", kScanEnter}, {"fire", kScanFire},   {"up", kScanUp},
        {"down", kScanDown},  {"left", kScanLeft},   {"right", kScanRight}, {"space", kScanSpace},
        {"p", kScanP},        {"k", kScanK},         {"l", kScanL},         {"x", kScanX},
        {"z", kScanZ},        {"o", kScanO},         {"e", kScanE}};
    std::istringstream in(script);
    for (std::string token; in >> token;) {
        const size_t colon = token.find(':'), dash = token.find('-'), equals = token.find('=');
        std::string name = token.substr(colon + 1, equals - colon - 1), text;
        const char hold = name.back() == '+' || name.back() == '-' ? name.back() : 0;
        if (hold)
            name.pop_back();
        if (equals != std::string::npos)
            for (char c : token.substr(equals + 1))
                text += c == '_' ? ' ' : c;
        const auto key = kKeys.find(name);
        if (key == kKeys.end() || colon == std::string::npos) {
            ADD_FAILURE() << "no key in " << token;
            continue;
        }
        const int from = offset + std::stoi(token);
        const int until = dash < colon ? offset + std::stoi(token.substr(dash + 1)) : from + 1;
        for (int frame = from; frame < until; frame += 20)
            if (hold)
                platform.keyAtFrame(frame, key->second, hold == '+');
            else
                tapKey(platform, frame, key->second, text.empty() ? nullptr : text.c_str());
    }
}
