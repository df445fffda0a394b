// The program's spine: the application state, the one frame loop that every
// screen runs, and the fatal error report.
#pragma once

#include <cstdint>
#include <functional>

class GfxScreen;
class GfxSurface;
class Platform;
struct PlatformEvent;

// Why a loop ended; one code space shared by every loop.
enum LoopResult : int {
    kLoopRunning = 0,
    kLoopEscape = 1,     // escape menu wanted, "Quit Game", or a menu cancelled
    kLoopInitFailed = 2, // the loop's init callback failed
    kLoopChoice = 3,     // "Resume Game", or a front-end choice was made
    kLoopLevelCompleted = 4,
    kLoopQuit = 5, // quit the program, or rebuild the display
    kLoopSnakeLost = 6,
    kLoopGameOver = 7,
    kLoopZoneCompleted = 8,
    kLoopKeyConfig = 9,
};

struct LoopCallbacks {
    std::function<bool()> init;
    std::function<void()> exit;
    std::function<void()> frame;
    std::function<void()> idle;
    std::function<void(int x, int y)> mouseClick;
    bool hideCursor = false;
};

struct ApplicationState {
    Platform* platform = nullptr; // the main window, its events and its clock
    GfxScreen* screen = nullptr;
    GfxSurface* backSurface = nullptr;
    int32_t appActive = 0;
    int32_t framesPerSecond = 55;
    int32_t loopResult = kLoopRunning;
    bool leaveRequested = false;
    bool gamePaused = false;
    bool modeChangeRequested = false;
    bool fullScreen = false;
    const LoopCallbacks* currentLoop = nullptr;
    // When the next frame is due on the platform's microsecond clock: one
    // period after the start of the last.
    uint64_t nextFrameDue = 0;
    // When the current frame began, on the same clock: how late it was
    // against nextFrameDue is what the pacing benchmark reports.
    uint64_t frameStartedAt = 0;
    // Set by a quit request or a fatal error and never cleared: every loop
    // that runs afterwards ends at once, so nothing carries on after it.
    bool quitPosted = false;
    // Set by a fatal error: the program then ends with a failure status, so
    // a launcher or a script sees that the start failed.
    bool fatalErrorShown = false;
    // Pauses or resumes the music when the application loses or regains
    // activation; the sound system installs it.
    void (*pauseMusic)(bool pause) = nullptr;
};

extern ApplicationState app;

// Runs the loop until it ends; app.loopResult tells why.
void winloop(const LoopCallbacks& callbacks, bool stopOnAnyResult);
// One timed frame; called only by winloop.
void runFrame();
// Reacts to one event of the main window (activation, closing, clicks).
void handleWindowEvent(const PlatformEvent& event);
// Ends every running loop at its next pass.
void postQuit();

// Shows the formatted text in a box captioned "Error" (where a display
// exists), writes it to "log.txt" and posts the quit request. The caller
// carries on; the loops end in order.
void fatalError(GfxScreen* screen, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Longest text the error box shows; a longer text is cut, never overflowed.
constexpr int kFatalErrorMaxLength = 1023;
