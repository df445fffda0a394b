// What the game needs from the system it runs on: one window, its events, a
// millisecond clock, short sleeps, a modal error box and a way to show a
// finished frame. The SDL back end implements it for real play; the headless
// back end implements it for tests, with a clock the test controls.
#pragma once

#include <cstdint>

class GfxInputDevices;

struct PlatformEvent {
    enum Type {
        None,
        Quit,         // the system asks the program to end (SIGTERM, SIGINT, logout)
        CloseRequest, // the window's close button
        Activated,
        Deactivated,
        MouseButtonDown,
        MouseButtonUp,
        MouseMotion,
        MouseWheel,
        KeyDown,
        KeyUp,
        TextInput,
        DeviceAdded, // a joystick or game controller was plugged in
        DeviceRemoved,
    };
    Type type = None;
    int x = 0, y = 0;   // mouse position in the 640x480 picture, or wheel steps
    int dx = 0, dy = 0; // relative mouse motion
    int button = 0;     // 1 left, 2 middle, 3 right
    int scancode = 0;   // the back end's key code; the input layer maps it
    int device = 0;
    char text[32] = {}; // UTF-8, zero-terminated
};

// Receives every event the platform takes from the system, before the loop
// that asked for it sees it (the input layer listens this way).
class PlatformEventListener {
public:
    virtual ~PlatformEventListener() = default;
    virtual void onPlatformEvent(const PlatformEvent& event) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t milliseconds() = 0;
    virtual void sleep(uint32_t milliseconds) = 0;
    // The clock frames are paced by: microseconds from a fixed start, never
    // going back.
    virtual uint64_t microseconds() = 0;
    // Sleeps about that long; the system may wake the caller a little late.
    virtual void sleepMicroseconds(uint32_t microseconds) = 0;
};

class Platform : public Clock {
public:
    static constexpr int kMaxListeners = 4;

    // Creates the one window (hidden presentation on the headless back end).
    virtual bool createWindow(const char* title, int width, int height) = 0;
    virtual void destroyWindow() = 0;
    virtual bool hasWindow() const = 0;
    // Whether a real display exists that can show a message box.
    virtual bool hasDisplay() const = 0;

    // Takes the next waiting event; false when none is waiting.
    virtual bool pollEvent(PlatformEvent& event) = 0;
    // Blocks until an event arrives; false when waiting failed.
    virtual bool waitEvent(PlatformEvent& event) = 0;

    // The cursor as the running loop wants it; while a pad is in use it
    // stays hidden all the same, until the mouse moves.
    void showCursor(bool visible);
    void hideCursorForPad(bool hidden);
    bool cursorHiddenForPad() const { return cursorHiddenForPad_; }
    virtual void showMessageBox(const char* caption, const char* text) = 0;

    // Shows a finished frame of 32-bit 0x00RRGGBB pixels; pitch in bytes.
    // The game sees a client area of the size the window was created with;
    // windowed, stretch scales the frame to that area, otherwise the frame's
    // top-left part that covers it is shown one to one. Full screen always
    // takes the whole frame. A back end may show the client area itself
    // larger, keeping its aspect ratio.
    virtual void present(const uint32_t* pixels, int width, int height, int pitch,
                         bool stretch) = 0;
    virtual bool setFullScreen(bool fullScreen) = 0;
    virtual bool isFullScreen() const = 0;
    // Size of the desktop in pixels and its colour depth.
    virtual void desktopSize(int& width, int& height, int& bitsPerPixel) const = 0;

    // The keyboard layout, mouse and joystick behind this platform's events,
    // owned by the caller. The default has no joystick and a US layout.
    virtual GfxInputDevices* createInputDevices();

    void addListener(PlatformEventListener* listener);
    void removeListener(PlatformEventListener* listener);

protected:
    void notifyListeners(const PlatformEvent& event);
    virtual void applyCursor(bool visible) = 0;

private:
    PlatformEventListener* listeners_[kMaxListeners] = {};
    bool cursorWanted_ = true;
    bool cursorHiddenForPad_ = false;
};
