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

// The controls of a pad whose layout is known (a game controller mapping).
// Its ten buttons come first, in the order of the joystick buttons 0 to 9;
// the four directions are the direction pad or the left stick.
enum GfxPadControl : int {
    kGfxPadSouth = 0,
    kGfxPadEast,
    kGfxPadWest,
    kGfxPadNorth,
    kGfxPadLeftShoulder,
    kGfxPadRightShoulder,
    kGfxPadBack,
    kGfxPadStart,
    kGfxPadLeftStickClick,
    kGfxPadRightStickClick,
    kGfxPadUp,
    kGfxPadDown,
    kGfxPadLeft,
    kGfxPadRight,
    kGfxPadControlCount,
    kGfxPadNoDirection = -1,
};

struct GfxJoystickState {
    int x = 0, y = 0; // -1000 .. 1000, dead zone applied
    bool buttons[kGfxJoystickButtons] = {};
    // A pad with a known layout: buttons are in the pad control order, and
    // the direction pad and the left stick below are read.
    bool mapped = false;
    bool dpad[4] = {};          // up, down, left, right
    int stickX = 0, stickY = 0; // the left stick, -32768 .. 32767, no dead zone
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
    // True when the device pulled out was the open joystick; another one
    // may have been opened in its place.
    virtual bool deviceRemoved(int device) = 0;
    // Reads the open joystick; false when none is attached.
    virtual bool readJoystick(GfxJoystickState& state) = 0;
    virtual int joystickSubtype() const = 0;
    // Adds one well-formed line of a pad mapping file; false when the pad
    // system refuses it. Lines for other systems are taken and ignored.
    virtual bool addPadMapping(const char* line) = 0;
};
