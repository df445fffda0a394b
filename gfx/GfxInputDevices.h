// What GfxInput needs from the machine beyond the platform's events: the
// keyboard layout, whether a mouse exists and where its cursor starts, and
// the one joystick or game controller, which is read by polling. The SDL
// back end provides the real devices; HeadlessInputDevices stands in for
// tests and for platforms without input hardware.
#pragma once

#include <cstdint>

constexpr int kGfxJoystickButtons = 10;
// Axis range after the dead zone: -1000 .. 1000.
constexpr int kGfxJoystickAxisRange = 1000;

// Device subtypes of a joystick, as the settings of older versions knew them.
enum GfxJoystickSubtype : int {
    kGfxJoystickNone = 0,
    kGfxJoystickUnknown = 1,
    kGfxJoystickTraditional = 2,
    kGfxJoystickFlightStick = 3,
    kGfxJoystickGamepad = 4,
    kGfxJoystickRudder = 5,
    kGfxJoystickWheel = 6,
};

struct GfxJoystickState {
    int x = 0, y = 0; // -1000 .. 1000, dead zone applied
    bool buttons[kGfxJoystickButtons] = {};
};

class GfxInputDevices {
public:
    virtual ~GfxInputDevices() = default;

    // The PC keyboard scan code (1 to 255) of a key event's platform code,
    // or 0 for a key outside that space.
    virtual int toScanCode(int platformKey) const = 0;
    // The character the current layout and modifier keys give for a PC scan
    // code (Latin-1), or 0.
    virtual uint8_t scanCodeToChar(int scanCode) const = 0;

    virtual bool hasMouse() const = 0;
    // Where the cursor is when the mouse is set up.
    virtual void cursorPosition(int& x, int& y) const = 0;

    // Opens the first attached joystick or game controller when none is
    // open; false when there is none.
    virtual bool openJoystick() = 0;
    // A device was plugged in or pulled out while the game runs.
    virtual void deviceAdded(int device) = 0;
    virtual void deviceRemoved(int device) = 0;
    // Reads the open joystick; false when none is attached.
    virtual bool readJoystick(GfxJoystickState& state) = 0;
    virtual int joystickSubtype() const = 0;
};
