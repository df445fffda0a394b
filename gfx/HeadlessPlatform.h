// A platform without a display: events come from a script, the clock is a
// counter that the caller (a test) drives, and presented frames are counted.
#pragma once

#include "gfx/Platform.h"

class HeadlessInputDevices;

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class HeadlessPlatform : public Platform {
public:
    // Each read of the clock moves it on by readStep milliseconds (of the
    // microsecond clock, by readStep microseconds), so a busy wait on it
    // ends; a sleep moves it by the time slept and the oversleep.
    explicit HeadlessPlatform(uint32_t readStep = 1) : readStep_(readStep) {}

    uint32_t milliseconds() override;
    void sleep(uint32_t ms) override;
    uint64_t microseconds() override;
    void sleepMicroseconds(uint32_t us) override;

    bool createWindow(const char* title, int width, int height) override;
    void destroyWindow() override { windowOpen_ = false; }
    bool hasWindow() const override { return windowOpen_; }
    bool hasDisplay() const override { return false; }

    bool pollEvent(PlatformEvent& event) override;
    bool waitEvent(PlatformEvent& event) override;

    void showMessageBox(const char* caption, const char* text) override;
    void present(const uint32_t* pixels, int width, int height, int pitch, bool stretch) override;
    bool setFullScreen(bool fullScreen) override;
    bool isFullScreen() const override { return fullScreen_; }
    void desktopSize(int& width, int& height, int& bitsPerPixel) const override;

    // Test controls.
    void pushEvent(const PlatformEvent& event) { events_.push_back(event); }
    void pushEvent(PlatformEvent::Type type);
    // An event that becomes visible once the given number of frames has
    // been presented (a script of input, frame by frame).
    void pushEventAtFrame(int frame, const PlatformEvent& event);
    // A key going down or up, and a click of the left button, at a frame.
    void keyAtFrame(int frame, int scancode, bool down);
    void clickAtFrame(int frame, int x, int y);
    // The window closed by the user at a frame (a test's safety net).
    void closeAtFrame(int frame);
    void setTime(uint32_t ms) { now_ = uint64_t{ms} * 1000; }
    void advanceMicroseconds(uint64_t us) { now_ += us; }
    void setReadStep(uint32_t step) { readStep_ = step; }
    // Every sleep lasts this many microseconds longer than asked, as a real
    // system's wakes late.
    void setOversleep(uint32_t us) { oversleep_ = us; }
    uint32_t now() const { return static_cast<uint32_t>(now_ / 1000); }
    uint64_t nowMicroseconds() const { return now_; }
    // Called when waitEvent finds the script empty; it may push an event.
    // Without it an empty script ends the wait with a quit request.
    std::function<void()> onIdleWait;
    // Called after each presented frame with the number presented so far;
    // a test looks at the running screens with it.
    std::function<void(int frame)> afterPresent;

    // The input devices the game opened last, for a test to script the pad;
    // they belong to the game's input layer and live as long as it does.
    GfxInputDevices* createInputDevices() override;
    HeadlessInputDevices* inputDevices() const { return inputDevices_; }

    int framesPresented() const { return framesPresented_; }
    int sleeps() const { return sleeps_; }
    int clockReads() const { return clockReads_; }
    bool cursorVisible() const { return cursorVisible_; }
    const std::vector<std::string>& messageBoxes() const { return messageBoxes_; }
    const std::vector<uint32_t>& lastFrame() const { return lastFrame_; }
    // Whether the last frame was to be stretched over the whole window.
    bool lastFrameStretched() const { return lastFrameStretched_; }
    std::string windowTitle() const { return title_; }

protected:
    void applyCursor(bool visible) override { cursorVisible_ = visible; }

private:
    HeadlessInputDevices* inputDevices_ = nullptr;
    uint64_t now_ = 0; // microseconds
    uint32_t readStep_;
    uint32_t oversleep_ = 0;
    int clockReads_ = 0;
    std::deque<PlatformEvent> events_;
    std::deque<std::pair<int, PlatformEvent>> scheduled_; // by frame
    bool windowOpen_ = false;
    bool fullScreen_ = false;
    bool cursorVisible_ = true;
    int framesPresented_ = 0;
    int sleeps_ = 0;
    std::string title_;
    std::vector<std::string> messageBoxes_;
    std::vector<uint32_t> lastFrame_;
    bool lastFrameStretched_ = false;
};
