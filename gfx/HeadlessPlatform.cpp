#include "gfx/HeadlessPlatform.h"

#include "gfx/HeadlessInputDevices.h"

#include <cstddef>

uint32_t HeadlessPlatform::milliseconds() {
    const auto t = static_cast<uint32_t>(now_ / 1000);
    now_ += uint64_t{readStep_} * 1000;
    ++clockReads_;
    return t;
}

void HeadlessPlatform::sleep(uint32_t ms) {
    sleepMicroseconds(ms * 1000);
}

uint64_t HeadlessPlatform::microseconds() {
    const uint64_t t = now_;
    now_ += readStep_;
    ++clockReads_;
    return t;
}

void HeadlessPlatform::sleepMicroseconds(uint32_t us) {
    now_ += uint64_t{us} + oversleep_;
    ++sleeps_;
}

bool HeadlessPlatform::createWindow(const char* title, int, int) {
    title_ = title ? title : "";
    windowOpen_ = true;
    return true;
}

void HeadlessPlatform::pushEvent(PlatformEvent::Type type) {
    PlatformEvent event;
    event.type = type;
    events_.push_back(event);
}

void HeadlessPlatform::pushEventAtFrame(int frame, const PlatformEvent& event) {
    auto at = scheduled_.begin();
    while (at != scheduled_.end() && at->first <= frame)
        ++at;
    scheduled_.insert(at, {frame, event});
}

void HeadlessPlatform::keyAtFrame(int frame, int scancode, bool down) {
    PlatformEvent e;
    e.type = down ? PlatformEvent::KeyDown : PlatformEvent::KeyUp;
    e.scancode = scancode;
    pushEventAtFrame(frame, e);
}

void HeadlessPlatform::closeAtFrame(int frame) {
    PlatformEvent e;
    e.type = PlatformEvent::CloseRequest;
    pushEventAtFrame(frame, e);
}

void HeadlessPlatform::clickAtFrame(int frame, int x, int y) {
    PlatformEvent e;
    e.type = PlatformEvent::MouseButtonDown;
    e.button = 1;
    e.x = x;
    e.y = y;
    pushEventAtFrame(frame, e);
}

bool HeadlessPlatform::pollEvent(PlatformEvent& event) {
    while (!scheduled_.empty() && scheduled_.front().first <= framesPresented_) {
        events_.push_back(scheduled_.front().second);
        scheduled_.pop_front();
    }
    if (events_.empty())
        return false;
    event = events_.front();
    events_.pop_front();
    notifyListeners(event);
    return true;
}

bool HeadlessPlatform::waitEvent(PlatformEvent& event) {
    if (events_.empty() && onIdleWait)
        onIdleWait();
    if (events_.empty())
        pushEvent(PlatformEvent::Quit);
    return pollEvent(event);
}

void HeadlessPlatform::showMessageBox(const char* caption, const char* text) {
    messageBoxes_.push_back(std::string(caption ? caption : "") + ": " + (text ? text : ""));
}

void HeadlessPlatform::present(const uint32_t* pixels, int width, int height, int pitch,
                               bool stretch) {
    ++framesPresented_;
    lastFrameStretched_ = stretch;
    lastFrame_.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(
            reinterpret_cast<const uint8_t*>(pixels) + static_cast<std::ptrdiff_t>(y) * pitch);
        for (int x = 0; x < width; ++x)
            lastFrame_[static_cast<size_t>(y) * static_cast<size_t>(width) +
                       static_cast<size_t>(x)] = row[x];
    }
    if (afterPresent)
        afterPresent(framesPresented_);
}

bool HeadlessPlatform::setFullScreen(bool fullScreen) {
    fullScreen_ = fullScreen;
    return true;
}

void HeadlessPlatform::desktopSize(int& width, int& height, int& bitsPerPixel) const {
    width = 1920;
    height = 1080;
    bitsPerPixel = 32;
}

GfxInputDevices* HeadlessPlatform::createInputDevices() {
    inputDevices_ = new HeadlessInputDevices;
    return inputDevices_;
}
