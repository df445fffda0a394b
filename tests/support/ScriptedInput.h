// The input layer on the headless platform: scripted events handed over
// and sampled as one frame of the loop does.
#pragma once

#include "gfx/GfxInput.h"
#include "gfx/HeadlessInputDevices.h"
#include "gfx/HeadlessPlatform.h"

#include <gtest/gtest.h>

class ScriptedInput {
public:
    // prepare sets up the devices before the input first reads them.
    explicit ScriptedInput(void (*prepare)(HeadlessInputDevices&) = nullptr) {
        devices = static_cast<HeadlessInputDevices*>(platform.createInputDevices());
        if (prepare)
            prepare(*devices);
        EXPECT_EQ(input.Create(&platform, devices), kGfxInputOk);
    }
    // A key event carrying a PC scan code.
    void key(PlatformEvent::Type type, int scancode) {
        PlatformEvent e;
        e.type = type;
        e.scancode = scancode;
        platform.pushEvent(e);
    }
    void mouse(PlatformEvent::Type type, int button, int dx = 0, int dy = 0, int wheel = 0) {
        PlatformEvent e;
        e.type = type;
        e.button = button;
        e.dx = dx;
        e.dy = dy;
        e.y = wheel;
        platform.pushEvent(e);
    }
    void update() {
        PlatformEvent e;
        while (platform.pollEvent(e)) {
        }
        EXPECT_EQ(input.Update(), kGfxInputOk);
    }

    HeadlessPlatform platform;
    HeadlessInputDevices* devices = nullptr; // owned by input
    GfxInput input;
};
