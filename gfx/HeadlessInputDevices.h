// Input devices without hardware: key events carry PC scan codes already,
// the layout is US, and the mouse and joystick are whatever a test scripts.
#pragma once

#include "gfx/GfxInputDevices.h"

class HeadlessInputDevices : public GfxInputDevices {
public:
    int toScanCode(int platformKey) const override;
    uint8_t scanCodeToChar(int scanCode) const override;
    bool hasMouse() const override { return mousePresent; }
    void cursorPosition(int& x, int& y) const override;
    bool openJoystick() override;
    void deviceAdded(int device) override;
    void deviceRemoved(int device) override;
    bool readJoystick(GfxJoystickState& state) override;
    int joystickSubtype() const override { return joystickOpen_ ? subtype : kGfxJoystickNone; }

    // Script.
    bool mousePresent = true;
    int cursorX = 0, cursorY = 0;
    bool shift = false;
    bool joystickAttached = false; // plugged in; opened by openJoystick
    int subtype = kGfxJoystickGamepad;
    GfxJoystickState joystick;
    int devicesAdded = 0, devicesRemoved = 0;

    bool joystickOpen() const { return joystickOpen_; }

private:
    bool joystickOpen_ = false;
};
