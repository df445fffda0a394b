#include "gfx/HeadlessInputDevices.h"

#include "gfx/GfxInput.h"

#include <cstring>

int HeadlessInputDevices::toScanCode(int platformKey) const {
    return platformKey > 0 && platformKey < kGfxScanCodeCount ? platformKey : 0;
}

uint8_t HeadlessInputDevices::scanCodeToChar(int scanCode) const {
    const int code = GfxInput::KeyCodeOfScanCode(scanCode);
    if (code == kGfxKeyBackspace || code == kGfxKeyTab || code == kGfxKeyEnter ||
        code == kGfxKeyEscape)
        return static_cast<uint8_t>(code);
    if (code < 0x20 || code > 0x7E)
        return 0;
    if (shift && code >= 'a' && code <= 'z')
        return static_cast<uint8_t>(code - 'a' + 'A');
    return static_cast<uint8_t>(code);
}

void HeadlessInputDevices::cursorPosition(int& x, int& y) const {
    x = cursorX;
    y = cursorY;
}

bool HeadlessInputDevices::openJoystick() {
    joystickOpen_ = joystickAttached;
    return joystickOpen_;
}

void HeadlessInputDevices::deviceAdded(int) {
    ++devicesAdded;
    if (!joystickOpen_)
        openJoystick();
}

bool HeadlessInputDevices::deviceRemoved(int) {
    ++devicesRemoved;
    const bool lost = joystickOpen_ && !joystickAttached;
    if (lost)
        joystickOpen_ = false;
    return lost;
}

bool HeadlessInputDevices::addPadMapping(const char* line) {
    if (std::strstr(line, "refuse"))
        return false;
    padMappings += line;
    padMappings += '\n';
    return true;
}

bool HeadlessInputDevices::readJoystick(GfxJoystickState& state) {
    if (!joystickOpen_ || !joystickAttached) {
        joystickOpen_ = false;
        return false;
    }
    state = joystick;
    return true;
}
