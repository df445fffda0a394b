#include "gfx/Platform.h"

#include "gfx/HeadlessInputDevices.h"

GfxInputDevices* Platform::createInputDevices() {
    return new HeadlessInputDevices;
}

void Platform::addListener(PlatformEventListener* listener) {
    for (PlatformEventListener*& slot : listeners_) {
        if (slot == listener)
            return;
    }
    for (PlatformEventListener*& slot : listeners_) {
        if (!slot) {
            slot = listener;
            return;
        }
    }
}

void Platform::removeListener(PlatformEventListener* listener) {
    for (PlatformEventListener*& slot : listeners_)
        if (slot == listener)
            slot = nullptr;
}

void Platform::notifyListeners(const PlatformEvent& event) {
    for (PlatformEventListener* listener : listeners_)
        if (listener)
            listener->onPlatformEvent(event);
}

void Platform::showCursor(bool visible) {
    cursorWanted_ = visible;
    applyCursor(visible && !cursorHiddenForPad_);
}

void Platform::hideCursorForPad(bool hidden) {
    if (hidden == cursorHiddenForPad_)
        return;
    cursorHiddenForPad_ = hidden;
    applyCursor(cursorWanted_ && !hidden);
}
