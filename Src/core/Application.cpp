#include "Src/core/Application.h"

#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/Platform.h"
#include "lib/Log.h"
#include "lib/String.h"

#include <cstdlib>

ApplicationState app;

namespace {

bool isKnownLoopResult(int32_t result) {
    return result >= kLoopRunning && result <= kLoopKeyConfig;
}

bool loopShouldEnd(bool stopOnAnyResult) {
    if (stopOnAnyResult)
        return app.loopResult != kLoopRunning;
    return app.loopResult != kLoopRunning && app.leaveRequested;
}

void call(const std::function<void()>& callback) {
    if (callback)
        callback();
}

constexpr uint64_t kMicrosecondsPerMillisecond = 1000;

// A sleep wakes late by the system's timer slack, by a tenth of a
// millisecond or more under load. A deadline that frames must meet is slept
// towards only until this margin before it; the rest is spun.
constexpr uint64_t kSpinMicroseconds = 500;

// Sleeps until the clock reaches due, or a little later.
void sleepUntil(Clock& clock, uint64_t due) {
    for (uint64_t now = clock.microseconds(); now < due; now = clock.microseconds())
        clock.sleepMicroseconds(static_cast<uint32_t>(due - now));
}

// Returns as soon as the clock reaches due.
void waitUntil(Clock& clock, uint64_t due) {
    if (due > kSpinMicroseconds)
        sleepUntil(clock, due - kSpinMicroseconds);
    while (clock.microseconds() < due) {
    }
}

} // namespace

void postQuit() {
    app.quitPosted = true;
}

void handleWindowEvent(const PlatformEvent& event) {
    switch (event.type) {
    case PlatformEvent::Activated:
        app.appActive = 1;
        break;
    case PlatformEvent::Deactivated:
        app.appActive = 0;
        break;
    case PlatformEvent::CloseRequest:
    case PlatformEvent::Quit:
        app.loopResult = kLoopQuit;
        postQuit();
        break;
    case PlatformEvent::MouseButtonDown:
        if (event.button == 1 && app.currentLoop && app.currentLoop->mouseClick)
            app.currentLoop->mouseClick(static_cast<int16_t>(event.x),
                                        static_cast<int16_t>(event.y));
        break;
    default:
        break;
    }
}

void winloop(const LoopCallbacks& callbacks, bool stopOnAnyResult) {
    const LoopCallbacks* outerLoop = app.currentLoop;
    app.leaveRequested = false;
    app.gamePaused = false;
    app.currentLoop = &callbacks;
    app.loopResult = kLoopRunning;

    if (callbacks.init && !callbacks.init()) {
        call(callbacks.exit);
        app.loopResult = kLoopInitFailed;
        app.currentLoop = outerLoop;
        return;
    }
    if (callbacks.hideCursor && app.platform)
        app.platform->showCursor(false);

    bool firstPass = true;
    int32_t activeBefore = app.appActive;
    for (;;) {
        if (loopShouldEnd(stopOnAnyResult))
            break;
        if (app.quitPosted || !app.platform) {
            gameLog.write("winloop : !GetMessage\n");
            break;
        }
        PlatformEvent event;
        if (app.platform->pollEvent(event)) {
            handleWindowEvent(event);
        } else if (app.appActive) {
            runFrame();
        } else if (app.platform->waitEvent(event)) {
            handleWindowEvent(event);
        } else {
            postQuit(); // the event queue is gone: nothing more can happen
        }
        if (!firstPass && activeBefore != app.appActive && app.pauseMusic)
            app.pauseMusic(app.appActive == 0);
        activeBefore = app.appActive;
        firstPass = false;
    }

    call(callbacks.exit);
    if (callbacks.hideCursor && app.platform)
        app.platform->showCursor(true);
    if (!isKnownLoopResult(app.loopResult)) {
        app.loopResult = kLoopQuit;
        postQuit();
    }
    app.currentLoop = outerLoop;
}

void runFrame() {
    Clock& clock = *app.platform;
    const int32_t fps = app.framesPerSecond > 0 ? app.framesPerSecond : 1;
    const uint64_t periodMs = static_cast<uint64_t>(1000 / fps);
    const uint64_t period = periodMs * kMicrosecondsPerMillisecond;

    // Frames keep to a schedule of whole periods, so that waking late does
    // not add up. A frame a whole period behind it (the window was inactive,
    // a screen was loading, frames ran long) starts the schedule afresh
    // rather than rushing to catch up.
    const uint64_t now = clock.microseconds();
    app.frameStartedAt = now;
    uint64_t start = app.nextFrameDue;
    if (now < start || now - start >= period)
        start = now;
    const uint64_t end = start + period;

    // Shows the frame composed in the previous pass.
    if (app.screen)
        app.screen->Flip(1, 0, 0);
    if (app.currentLoop)
        call(app.currentLoop->frame);
    if (app.screen && app.backSurface && app.screen->GetBackSurface())
        app.backSurface->DrawOpaque(app.screen->GetBackSurface(), 0, 0, nullptr);

    // Nothing runs in the first half of the period; in the second the idle
    // callback runs at each millisecond step until the period is over.
    sleepUntil(clock, start + periodMs / 2 * kMicrosecondsPerMillisecond);
    for (uint64_t t = clock.microseconds(); t < end; t = clock.microseconds()) {
        if (app.currentLoop)
            call(app.currentLoop->idle);
        const uint64_t step =
            t - (t - start) % kMicrosecondsPerMillisecond + kMicrosecondsPerMillisecond;
        if (step >= end)
            break;
        sleepUntil(clock, step);
    }
    waitUntil(clock, end);
    app.nextFrameDue = end;
}

void fatalError(GfxScreen* screen, const char* format, ...) {
    String text;
    va_list args;
    va_start(args, format);
    text.formatList(format, args);
    va_end(args);
    if (text.length() > kFatalErrorMaxLength) {
        String cut;
        text.substring(cut, 0, kFatalErrorMaxLength);
        text = cut;
    }
    Platform* window = screen ? screen->GetWindow() : app.platform;
    if (window && window->hasDisplay())
        window->showMessageBox("Error", text.c_str());
    gameLog.write(text.c_str());
    if (text.isEmpty() || text[text.length() - 1] != '\n')
        gameLog.write("\n");
    app.fatalErrorShown = true;
    postQuit();
}
