// Input devices without hardware: key events carry PC scan codes already,
// the layout is US, and the mouse and joystick are whatever a test scripts.
#pragma once

#include "gfx/GfxInputDevices.h"

#include <string>

class HeadlessInputDevices : public GfxInputDevices {
public:
    int toScanCode(int platformKey) const override;
    uint8_t scanCodeToChar(int scanCode) const override;
    bool hasMouse() const override { return mousePresent; }
    void cursorPosition(int& x, int& y) const override;
    bool openJoystick() override;
    void deviceAdded(int device) override;
    bool deviceRemoved(int device) override;
    bool readJoystick(GfxJoystickState& state) override;
    int joystickSubtype() const override { return joystickOpen_ ? subtype : kGfxJoystickNone; }
    bool addPadMapping(const char* line) override;

    // Script.
    bool mousePresent = true;
    int cursorX = 0, cursorY = 0;
    bool shift = false;
    bool joystickAttached = false; // plugged in; opened by openJoystick
    int subtype = kGfxJoystickGamepad;
    GfxJoystickState joystick;
    int devicesAdded = 0, devicesRemoved = 0;
    // Mapping lines taken; a line holding "refuse" is refused.
    std::string padMappings;

    // A pad with a known layout, plugged in, all at rest.
    void plugPad() {
        joystickAttached = true;
        joystick = GfxJoystickState();
        joystick.mapped = true;
    }
    // One control (GfxPadControl) of that pad down or up.
    void setPadControl(int control, bool down) {
        (control < kGfxJoystickButtons ? joystick.buttons[control]
                                       : joystick.dpad[control - kGfxPadUp]) = down;
    }

    bool joystickOpen() const { return joystickOpen_; }

private:
    bool joystickOpen_ = false;
};
