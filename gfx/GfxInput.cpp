#include "gfx/GfxInput.h"

#include "lib/HostPath.h"
#include "lib/Log.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// Mouse acceleration: a movement above the first threshold is scaled by the
// first factor, above the second by the second factor.
constexpr int kMouseThreshold1 = 2;
constexpr double kMouseFactor1 = 1.5;
constexpr int kMouseThreshold2 = 6;
constexpr double kMouseFactor2 = 2.0;

// The wheel reports movement in these units per notch.
constexpr int kWheelDelta = 120;

struct ScanCodeKey {
    uint8_t scanCode;
    uint8_t keyCode;
};

// PC scan code (set 1) -> key code; every scan code not listed has none.
constexpr ScanCodeKey kScanCodeMap[] = {
    {0x01, kGfxKeyEscape},
    {0x02, '1'},
    {0x03, '2'},
    {0x04, '3'},
    {0x05, '4'},
    {0x06, '5'},
    {0x07, '6'},
    {0x08, '7'},
    {0x09, '8'},
    {0x0A, '9'},
    {0x0B, '0'},
    {0x0C, '-'},
    {0x0D, '='},
    {0x0E, kGfxKeyBackspace},
    {0x0F, kGfxKeyTab},
    {0x10, 'q'},
    {0x11, 'w'},
    {0x12, 'e'},
    {0x13, 'r'},
    {0x14, 't'},
    {0x15, 'y'},
    {0x16, 'u'},
    {0x17, 'i'},
    {0x18, 'o'},
    {0x19, 'p'},
    {0x1A, '['},
    {0x1B, ']'},
    {0x1C, kGfxKeyEnter},
    {0x1D, kGfxKeyLeftCtrl},
    {0x1E, 'a'},
    {0x1F, 's'},
    {0x20, 'd'},
    {0x21, 'f'},
    {0x22, 'g'},
    {0x23, 'h'},
    {0x24, 'j'},
    {0x25, 'k'},
    {0x26, 'l'},
    {0x27, ';'},
    {0x28, '\''},
    {0x29, '`'},
    {0x2A, kGfxKeyLeftShift},
    {0x2B, '\\'},
    {0x2C, 'z'},
    {0x2D, 'x'},
    {0x2E, 'c'},
    {0x2F, 'v'},
    {0x30, 'b'},
    {0x31, 'n'},
    {0x32, 'm'},
    {0x33, ','},
    {0x34, '.'},
    {0x35, '/'},
    {0x36, kGfxKeyRightShift},
    {0x37, kGfxKeyNumStar},
    {0x38, kGfxKeyLeftAlt},
    {0x39, kGfxKeySpace},
    {0x3A, kGfxKeyCapsLock},
    {0x3B, kGfxKeyF1 + 0},
    {0x3C, kGfxKeyF1 + 1},
    {0x3D, kGfxKeyF1 + 2},
    {0x3E, kGfxKeyF1 + 3},
    {0x3F, kGfxKeyF1 + 4},
    {0x40, kGfxKeyF1 + 5},
    {0x41, kGfxKeyF1 + 6},
    {0x42, kGfxKeyF1 + 7},
    {0x43, kGfxKeyF1 + 8},
    {0x44, kGfxKeyF1 + 9},
    {0x45, kGfxKeyNumLock},
    {0x46, kGfxKeyScrollLock},
    {0x47, kGfxKeyNum0 + 7},
    {0x48, kGfxKeyNum0 + 8},
    {0x49, kGfxKeyNum0 + 9},
    {0x4A, kGfxKeyNumMinus},
    {0x4B, kGfxKeyNum0 + 4},
    {0x4C, kGfxKeyNum0 + 5},
    {0x4D, kGfxKeyNum0 + 6},
    {0x4E, kGfxKeyNumPlus},
    {0x4F, kGfxKeyNum0 + 1},
    {0x50, kGfxKeyNum0 + 2},
    {0x51, kGfxKeyNum0 + 3},
    {0x52, kGfxKeyNum0 + 0},
    {0x53, kGfxKeyNumPeriod},
    {0x57, kGfxKeyF1 + 10},
    {0x58, kGfxKeyF1 + 11},
    {0x9C, kGfxKeyNumEnter},
    {0x9D, kGfxKeyRightCtrl},
    {0xB5, kGfxKeyNumSlash},
    {0xB7, kGfxKeyPrintScreen},
    {0xB8, kGfxKeyRightAlt},
    {0xC7, kGfxKeyHome},
    {0xC8, kGfxKeyUpArrow},
    {0xC9, kGfxKeyPageUp},
    {0xCB, kGfxKeyLeftArrow},
    {0xCD, kGfxKeyRightArrow},
    {0xCF, kGfxKeyEnd},
    {0xD0, kGfxKeyDownArrow},
    {0xD1, kGfxKeyPageDown},
    {0xD2, kGfxKeyInsert},
    {0xD3, kGfxKeyDelete},
};

struct KeyCodeMap {
    uint8_t keyCodes[kGfxScanCodeCount] = {};
    constexpr KeyCodeMap() {
        for (const ScanCodeKey& entry : kScanCodeMap)
            keyCodes[entry.scanCode] = entry.keyCode;
    }
};
constexpr KeyCodeMap kKeyCodeMap;

// Mouse buttons as the platform numbers them (1 left, 2 middle, 3 right) to
// the input's button index (left, right, middle); 0 = not looked at.
int mouseButtonIndex(int platformButton) {
    switch (platformButton) {
    case 1:
        return 1;
    case 2:
        return 3;
    case 3:
        return 2;
    default:
        return 0;
    }
}

// Truncates towards zero, saturating instead of overflowing.
int32_t truncateToInt(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return INT32_MAX;
    if (value <= -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

int32_t accelerate(int32_t movement) {
    const int64_t magnitude = movement < 0 ? -static_cast<int64_t>(movement) : movement;
    if (magnitude > kMouseThreshold2)
        return truncateToInt(movement * kMouseFactor2);
    if (magnitude > kMouseThreshold1)
        return truncateToInt(movement * kMouseFactor1);
    return movement;
}

// Adds without the undefined behaviour of an overflow: the sum wraps.
int32_t wrappingAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

int32_t clampAxis(int64_t value, int32_t low, int32_t high) {
    if (value >= high)
        return high - 1 >= low ? high - 1 : low;
    if (value <= low)
        return low;
    return static_cast<int32_t>(value);
}

// Moves a position by a movement and keeps it within the limits.
void moveWithin(GfxInputPoint& position, const GfxInputPoint& movement,
                const GfxInputLimits& limits) {
    position.x =
        clampAxis(static_cast<int64_t>(position.x) + movement.x, limits.left, limits.right);
    position.y =
        clampAxis(static_cast<int64_t>(position.y) + movement.y, limits.top, limits.bottom);
}

int32_t addWheel(int32_t pending, int steps) {
    const int64_t sum = static_cast<int64_t>(pending) + static_cast<int64_t>(steps) * kWheelDelta;
    if (sum > INT32_MAX)
        return INT32_MAX;
    if (sum < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(sum);
}

uint8_t notches(int32_t wheel) {
    const int32_t count = wheel / kWheelDelta;
    return static_cast<uint8_t>(count > 255 ? 255 : count);
}

// The one character of a UTF-8 text if it is one Latin-1 character, else 0.
uint8_t singleLatin1(const char* text) {
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    if (s[0] >= 0x20 && s[0] < 0x7F && s[1] == 0)
        return s[0];
    if ((s[0] == 0xC2 || s[0] == 0xC3) && (s[1] & 0xC0) == 0x80 && s[2] == 0)
        return static_cast<uint8_t>(((s[0] & 0x1F) << 6) | (s[1] & 0x3F));
    return 0;
}

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// b3 (button), a1, -a1, a2~ (axis, half, inverted), h0.4 (hat and its bit).
bool isBindingSource(std::string_view value) {
    if (!value.empty() && (value[0] == '+' || value[0] == '-'))
        value.remove_prefix(1);
    if (value.empty())
        return false;
    const char kind = value[0];
    value.remove_prefix(1);
    if (kind == 'b')
        return allDigits(value);
    if (kind == 'a') {
        if (!value.empty() && value.back() == '~')
            value.remove_suffix(1);
        return allDigits(value);
    }
    if (kind == 'h') {
        const size_t dot = value.find('.');
        return dot != std::string_view::npos && allDigits(value.substr(0, dot)) &&
               allDigits(value.substr(dot + 1));
    }
    return false;
}

constexpr std::string_view kPadFields[] = {"a",
                                           "b",
                                           "x",
                                           "y",
                                           "back",
                                           "guide",
                                           "start",
                                           "leftstick",
                                           "rightstick",
                                           "leftshoulder",
                                           "rightshoulder",
                                           "dpup",
                                           "dpdown",
                                           "dpleft",
                                           "dpright",
                                           "misc1",
                                           "paddle1",
                                           "paddle2",
                                           "paddle3",
                                           "paddle4",
                                           "touchpad",
                                           "leftx",
                                           "lefty",
                                           "rightx",
                                           "righty",
                                           "lefttrigger",
                                           "righttrigger"};
// Fields that say where a line applies rather than bind a control.
constexpr std::string_view kPadAttributes[] = {"platform", "hint", "crc", "sdk>=", "sdk<="};

template <size_t N> bool isOneOf(std::string_view word, const std::string_view (&list)[N]) {
    return std::find(std::begin(list), std::end(list), word) != std::end(list);
}

bool isGuid(std::string_view text) {
    if (text == "xinput")
        return true;
    return text.size() == 32 && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
           });
}

} // namespace

GfxInput::GfxInput() {
    fillKeyNames();
}

GfxInput::~GfxInput() {
    ClearStates();
    if (platform_)
        platform_->removeListener(this);
    delete devices_;
}

int GfxInput::KeyCodeOfScanCode(int scanCode) {
    if (scanCode < 0 || scanCode >= kGfxScanCodeCount)
        return 0;
    return kKeyCodeMap.keyCodes[scanCode];
}

int GfxInput::Create(Platform* platform, GfxInputDevices* devices, const char* padMappingFile) {
    if (!platform) {
        delete devices;
        return kGfxInputNoPlatform;
    }
    if (!devices)
        return kGfxInputNoDevices;
    if (platform_)
        platform_->removeListener(this);
    delete devices_;
    platform_ = platform;
    devices_ = devices;
    platform_->addListener(this);

    mouseAcquired_ = devices_->hasMouse();
    if (mouseAcquired_) {
        int x = 0, y = 0;
        devices_->cursorPosition(x, y);
        mousePosition_ = {x, y};
    }
    releaseEventKeys();
    ClearStates();

    if (padMappingFile)
        LoadPadMappings(padMappingFile);
    openJoystick();
    return kGfxInputOk;
}

bool GfxInput::IsPadMappingLine(const char* line) {
    std::string_view rest(line ? line : "");
    int field = 0, bindings = 0;
    while (!rest.empty()) {
        const size_t comma = rest.find(',');
        const std::string_view entry = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        if (field == 0 && !isGuid(entry))
            return false;
        if (field == 1 && entry.empty())
            return false;
        if (field >= 2) {
            // Only the line's last entry may be empty (a closing comma).
            if (entry.empty() && !rest.empty())
                return false;
            if (!entry.empty()) {
                const size_t colon = entry.find(':');
                if (colon == std::string_view::npos || colon + 1 == entry.size())
                    return false;
                std::string_view key = entry.substr(0, colon);
                if (!isOneOf(key, kPadAttributes)) {
                    if (key[0] == '+' || key[0] == '-')
                        key.remove_prefix(1);
                    if (!isOneOf(key, kPadFields) || !isBindingSource(entry.substr(colon + 1)))
                        return false;
                    ++bindings;
                }
            }
        }
        ++field;
    }
    return bindings > 0;
}

int GfxInput::LoadPadMappings(const char* fileName) {
    if (!devices_ || !fileName)
        return -1;
    FILE* file = std::fopen(hostPath(fileName).c_str(), "rb");
    if (!file)
        return -1;
    int added = 0, number = 0;
    std::string line;
    for (int c = 0; c != EOF;) {
        c = std::fgetc(file);
        if (c != '\n' && c != EOF) {
            line += static_cast<char>(c);
            continue;
        }
        if (c == EOF && line.empty())
            break;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t start = line.find_first_not_of(" \t");
        if (start != std::string::npos && line[start] != '#') {
            if (IsPadMappingLine(line.c_str()) && devices_->addPadMapping(line.c_str()))
                ++added;
            else
                errorLog.print("%s, line %d: not a pad mapping, skipped\n", fileName, number);
        }
        line.clear();
    }
    std::fclose(file);
    return added;
}

int GfxInput::StickDirection(int x, int y, int held) {
    const int64_t ax = std::llabs(x), ay = std::llabs(y);
    if (held >= kGfxPadUp && held <= kGfxPadRight) {
        const bool vertical = held <= kGfxPadDown;
        const int64_t along = vertical ? (held == kGfxPadUp ? -int64_t{y} : y)
                                       : (held == kGfxPadLeft ? -int64_t{x} : x);
        const int64_t across = vertical ? ax : ay;
        if (along >= kGfxStickRelease && across * kGfxStickTurnDen <= along * kGfxStickTurnNum)
            return held;
    }
    if (std::max(ax, ay) < kGfxStickPress)
        return kGfxPadNoDirection;
    if (ax >= ay)
        return x < 0 ? kGfxPadLeft : kGfxPadRight;
    return y < 0 ? kGfxPadUp : kGfxPadDown;
}

void GfxInput::onPlatformEvent(const PlatformEvent& event) {
    if (!devices_)
        return;
    switch (event.type) {
    case PlatformEvent::KeyDown:
    case PlatformEvent::KeyUp: {
        const int scanCode = devices_->toScanCode(event.scancode);
        if (scanCode <= 0 || scanCode >= kGfxScanCodeCount)
            break;
        EventKey& key = keyboardEvents_[scanCode];
        const bool down = event.type == PlatformEvent::KeyDown;
        if (down && !key.down) {
            key.pressed = true;
            typedChars_[scanCode] = 0;
            typedText_[scanCode] = false;
            lastPressedScanCode_ = scanCode;
        } else if (!down && key.down) {
            key.released = true;
        }
        key.down = down;
        break;
    }
    case PlatformEvent::TextInput:
        // The text of a press follows its key event; it tells the character
        // with the modifiers and dead keys of the layout applied.
        if (lastPressedScanCode_ > 0) {
            typedChars_[lastPressedScanCode_] = singleLatin1(event.text);
            typedText_[lastPressedScanCode_] = true;
        }
        lastPressedScanCode_ = 0;
        break;
    case PlatformEvent::MouseButtonDown:
    case PlatformEvent::MouseButtonUp: {
        const int index = mouseButtonIndex(event.button);
        if (!mouseAcquired_ || index == 0)
            break;
        EventKey& button = mouseEvents_[index - 1];
        const bool down = event.type == PlatformEvent::MouseButtonDown;
        if (down && !button.down)
            button.pressed = true;
        else if (!down && button.down)
            button.released = true;
        button.down = down;
        break;
    }
    case PlatformEvent::MouseMotion:
        if (padInUse_ && (event.dx != 0 || event.dy != 0))
            setPadInUse(false);
        if (mouseAcquired_) {
            pendingMouseX_ = wrappingAdd(pendingMouseX_, event.dx);
            pendingMouseY_ = wrappingAdd(pendingMouseY_, event.dy);
        }
        break;
    case PlatformEvent::MouseWheel:
        if (mouseAcquired_)
            pendingWheel_ = addWheel(pendingWheel_, event.y);
        break;
    case PlatformEvent::DeviceAdded:
        // A controller plugged in while the game runs is taken when none is
        // in use.
        devices_->deviceAdded(event.device);
        if (!joystickAcquired_)
            openJoystick();
        break;
    case PlatformEvent::DeviceRemoved:
        // Pulling out another pad than the one in use changes nothing.
        if (devices_->deviceRemoved(event.device)) {
            ++joystickLosses_;
            openJoystick();
        }
        break;
    case PlatformEvent::Deactivated:
        // Keys held across a focus loss come back as up; they become pressed
        // again only when pressed anew.
        releaseEventKeys();
        ClearStates();
        break;
    default:
        break;
    }
}

bool GfxInput::sample(EventKey& key, uint8_t state) {
    const bool wasDown = state == kGfxKeyPressed || state == kGfxKeyHeld;
    if (wasDown && key.released && key.pressed) {
        // Released and pressed again since the last update: show the release
        // now and keep the new press for the next update.
        key.released = false;
        return false;
    }
    const bool down = key.down || key.pressed;
    key.pressed = false;
    key.released = false;
    return down;
}

bool GfxInput::step(uint8_t& state, bool down) {
    if (down) {
        const bool fresh = state == kGfxKeyUp || state == kGfxKeyReleased;
        state = fresh ? kGfxKeyPressed : kGfxKeyHeld;
        return fresh;
    }
    state = state == kGfxKeyPressed || state == kGfxKeyHeld ? kGfxKeyReleased : kGfxKeyUp;
    return false;
}

void GfxInput::advance(int keyCode, bool down) {
    if (step(keyStates_[keyCode], down)) {
        pressTimes_[keyCode] = platform_ ? platform_->milliseconds() : 0;
        pressPositions_[keyCode] = mouseTravel_;
    }
}

void GfxInput::readPad(const GfxJoystickState& joystick, bool attached) {
    bool down[kGfxPadControlCount] = {};
    if (attached && joystick.mapped) {
        std::copy(joystick.buttons, joystick.buttons + kGfxJoystickButtons, down);
        stickDirection_ = StickDirection(joystick.stickX, joystick.stickY, stickDirection_);
        for (int d = 0; d < 4; ++d)
            down[kGfxPadUp + d] = joystick.dpad[d] || stickDirection_ == kGfxPadUp + d;
    } else {
        stickDirection_ = kGfxPadNoDirection;
    }
    bool pressed = false;
    for (int control = 0; control < kGfxPadControlCount; ++control)
        pressed = step(padStates_[control], down[control]) || pressed;
    if (pressed && !padInUse_)
        setPadInUse(true);
}

void GfxInput::setPadInUse(bool inUse) {
    padInUse_ = inUse;
    if (platform_)
        platform_->hideCursorForPad(inUse);
}

uint8_t GfxInput::GetPadState(int control) const {
    return control >= 0 && control < kGfxPadControlCount ? padStates_[control] : 0;
}

void GfxInput::openJoystick() {
    joystickAcquired_ = devices_->openJoystick();
    joystickSubtype_ = joystickAcquired_ ? devices_->joystickSubtype() : kGfxJoystickNone;
}

void GfxInput::readKeyboard() {
    for (int scanCode = 0; scanCode < kGfxScanCodeCount; ++scanCode) {
        const int keyCode = KeyCodeOfScanCode(scanCode);
        const uint8_t state = keyCode ? keyStates_[keyCode] : (keyboardBuffer_[scanCode] ? 3 : 0);
        const bool down = sample(keyboardEvents_[scanCode], state);
        keyboardBuffer_[scanCode] = down ? 0x80 : 0;
        if (keyCode)
            advance(keyCode, down);
    }
}

void GfxInput::readMouse() {
    GfxInputPoint movement;
    movement.x = truncateToInt(accelerate(pendingMouseX_) * static_cast<double>(mouseSensitivity_));
    movement.y = truncateToInt(accelerate(pendingMouseY_) * static_cast<double>(mouseSensitivity_));
    pendingMouseX_ = pendingMouseY_ = 0;
    mouseTravel_.x = wrappingAdd(mouseTravel_.x, movement.x);
    mouseTravel_.y = wrappingAdd(mouseTravel_.y, movement.y);
    moveWithin(mousePosition_, movement, mouseLimits_);
    mouseMovement_ = movement;

    // The fourth button is not looked at.
    for (int i = 0; i < 3; ++i) {
        const int keyCode = kGfxKeyMouseFirst + i;
        advance(keyCode, sample(mouseEvents_[i], keyStates_[keyCode]));
    }

    const int32_t wheel = pendingWheel_;
    pendingWheel_ = 0;
    if (wheel > 0) {
        wheelUp_ = 1;
        wheelDown_ = 0;
        wheelUpNotches_ = notches(wheel);
    } else if (wheel < 0) {
        wheelDown_ = 1;
        wheelUp_ = 0;
        wheelDownNotches_ = notches(wheel == INT32_MIN ? INT32_MAX : -wheel);
    } else {
        wheelUp_ = wheelDown_ = 0;
    }
}

void GfxInput::readJoystick() {
    GfxJoystickState joystick;
    const bool attached = joystickAcquired_ && devices_->readJoystick(joystick);
    if (attached)
        joystickSubtype_ = devices_->joystickSubtype();
    else
        joystick = GfxJoystickState(); // absent or pulled out: its buttons are up
    GfxInputPoint movement;
    movement.x = truncateToInt(joystick.x * static_cast<double>(joystickSensitivity_));
    movement.y = truncateToInt(joystick.y * static_cast<double>(joystickSensitivity_));
    joystickTravel_.x = wrappingAdd(joystickTravel_.x, movement.x);
    joystickTravel_.y = wrappingAdd(joystickTravel_.y, movement.y);
    moveWithin(joystickPosition_, movement, joystickLimits_);
    joystickMovement_ = movement;
    for (int i = 0; i < kGfxJoystickButtons; ++i)
        advance(kGfxKeyJoystickFirst + i, joystick.buttons[i]);
    readPad(joystick, attached);
    if (joystickAcquired_ && !attached) {
        ++joystickLosses_;
        joystickAcquired_ = false;
        joystickSubtype_ = kGfxJoystickNone;
    }
}

int GfxInput::Update() {
    if (!devices_)
        return kGfxInputOk;
    readKeyboard();
    if (mouseAcquired_)
        readMouse();
    readJoystick();
    return kGfxInputOk;
}

uint8_t GfxInput::GetKeyState(int keyCode) const {
    return isValidKeyCode(keyCode) ? keyStates_[keyCode] : 0;
}

uint8_t GfxInput::GetRawKey(int scanCode) const {
    return scanCode >= 0 && scanCode < kGfxScanCodeCount ? keyboardBuffer_[scanCode] : 0;
}

void GfxInput::DetectNewKey(bool reset) {
    if (reset)
        lastNewKey_ = 0;
    // The last scan code is left out of the search and the copy.
    for (int scanCode = 0; scanCode < kGfxScanCodeCount - 1; ++scanCode) {
        if ((keyboardBuffer_[scanCode] & 0x80) && !(keptKeyboardBuffer_[scanCode] & 0x80)) {
            lastNewKey_ = static_cast<uint8_t>(scanCode);
            break;
        }
    }
    std::memcpy(keptKeyboardBuffer_, keyboardBuffer_, kGfxScanCodeCount - 1);
}

uint8_t GfxInput::ScanCodeToChar(int scanCode) const {
    if (!devices_ || scanCode <= 0 || scanCode >= kGfxScanCodeCount)
        return 0;
    // A text that does not fit in one byte types nothing, rather than the
    // key's character on another layout.
    if (typedText_[scanCode])
        return typedChars_[scanCode];
    return devices_->scanCodeToChar(scanCode);
}

int GfxInput::GetKeyName(int keyCode, char* buffer, int length) const {
    if (!buffer || length < 1)
        return -1;
    if (!isValidKeyCode(keyCode)) {
        buffer[0] = '\0';
        return -1;
    }
    std::snprintf(buffer, static_cast<size_t>(length), "%s", keyNames_[keyCode]);
    return 1;
}

void GfxInput::ClearStates() {
    std::memset(keyStates_, 0, sizeof keyStates_);
    std::memset(keyboardBuffer_, 0, sizeof keyboardBuffer_);
    std::memset(keptKeyboardBuffer_, 0, sizeof keptKeyboardBuffer_);
    wheelUp_ = wheelDown_ = wheelUpNotches_ = wheelDownNotches_ = 0;
    std::memset(pressTimes_, 0, sizeof pressTimes_);
    std::memset(padStates_, 0, sizeof padStates_);
    for (GfxInputPoint& position : pressPositions_)
        position = GfxInputPoint();
    // A press waiting for the next update is dropped with the states; keys
    // still held come back as pressed, as they would from the device.
    for (EventKey& key : keyboardEvents_)
        key.pressed = key.released = false;
    for (EventKey& button : mouseEvents_)
        button.pressed = button.released = false;
    pendingWheel_ = 0;
}

uint32_t GfxInput::GetPressTime(int keyCode) const {
    return isValidKeyCode(keyCode) ? pressTimes_[keyCode] : 0;
}

GfxInputPoint GfxInput::GetPressPosition(int keyCode) const {
    return isValidKeyCode(keyCode) ? pressPositions_[keyCode] : GfxInputPoint();
}

void GfxInput::releaseEventKeys() {
    for (EventKey& key : keyboardEvents_)
        key = EventKey();
    for (EventKey& button : mouseEvents_)
        button = EventKey();
    pendingMouseX_ = pendingMouseY_ = 0;
    pendingWheel_ = 0;
    lastPressedScanCode_ = 0;
}

void GfxInput::setKeyName(int keyCode, const char* name) {
    std::snprintf(keyNames_[keyCode], kGfxKeyNameSize, "%s", name);
}

void GfxInput::fillKeyNames() {
    struct Name {
        int keyCode;
        const char* name;
    };
    // Shifted punctuation is named after its physical key on a US keyboard.
    static constexpr Name kNames[] = {
        {0x00, "NULL"},
        {kGfxKeyBackspace, "BACKSPACE"},
        {kGfxKeyTab, "TAB"},
        {kGfxKeyEnter, "ENTER"},
        {kGfxKeyEscape, "ESC"},
        {kGfxKeySpace, "SPACE"},
        {'!', "1"},
        {'"', "APOSTROPHE"},
        {'#', "3"},
        {'$', "4"},
        {'%', "5"},
        {'&', "7"},
        {'\'', "APOSTROPHE"},
        {'(', "9"},
        {')', "0"},
        {'*', "8"},
        {'+', "EQUALS"},
        {',', "COMMA"},
        {'-', "UNDERSCORE"},
        {'.', "PERIOD"},
        {'/', "SLASH"},
        {':', "SEMICOLON"},
        {';', "SEMICOLON"},
        {'<', "COMMA"},
        {'=', "EQUALS"},
        {'>', "PERIOD"},
        {'?', "SLASH"},
        {'@', "2"},
        {'[', "LEFT BRKT"},
        {'\\', "BACKSLASH"},
        {']', "RIGHT BRKT"},
        {'^', "6"},
        {'_', "UNDERSCORE"},
        {'`', "GRAVE"},
        {'{', "LEFT BRKT"},
        {'|', "BACKSLASH"},
        {'}', "RIGHT BRKT"},
        {'~', "GRAVE"},
        {0x7F, "DELETE"},
        {kGfxKeyLeftShift, "LEFT SHIFT"},
        {kGfxKeyRightShift, "RIGHT SHIFT"},
        {kGfxKeyLeftCtrl, "LEFT CTRL"},
        {kGfxKeyRightCtrl, "RIGHT CTRL"},
        {kGfxKeyLeftAlt, "LEFT ALT"},
        {kGfxKeyRightAlt, "RIGHT ALT"},
        {kGfxKeyLeftArrow, "LEFT ARROW"},
        {kGfxKeyRightArrow, "RIGHT ARROW"},
        {kGfxKeyUpArrow, "UP ARROW"},
        {kGfxKeyDownArrow, "DOWN ARROW"},
        {kGfxKeyInsert, "INSERT"},
        {kGfxKeyDelete, "DEL"},
        {kGfxKeyHome, "HOME"},
        {kGfxKeyEnd, "END"},
        {kGfxKeyPageUp, "PAGE UP"},
        {kGfxKeyPageDown, "PAGE DOWN"},
        {kGfxKeyNumSlash, "NUM SLASH"},
        {kGfxKeyNumStar, "NUM STAR"},
        {kGfxKeyNumMinus, "NUM MINUS"},
        {kGfxKeyNumPlus, "NUM PLUS"},
        {kGfxKeyNumEnter, "NUM ENTER"},
        {kGfxKeyNumPeriod, "NUM PERIOD"},
        {kGfxKeyNumLock, "NUM LOCK"},
        {kGfxKeyCapsLock, "CAPS LOCK"},
        {kGfxKeyScrollLock, "SCROLL LOCK"},
        {kGfxKeyPrintScreen, "PRINT SCRN"},
        {kGfxKeyPause, "PAUSE"},
        {kGfxKeyMouseFirst + 0, "MOUSE LEFT"},
        {kGfxKeyMouseFirst + 1, "MOUSE RIGHT"},
        {kGfxKeyMouseFirst + 2, "MOUSE MIDLE"},
        {kGfxKeyMouseFirst + 3, "MOUSE BUTN4"},
    };
    for (const Name& entry : kNames)
        setKeyName(entry.keyCode, entry.name);

    char name[kGfxKeyNameSize];
    for (int i = 0; i < 10; ++i) {
        std::snprintf(name, sizeof name, "%d", i);
        setKeyName('0' + i, name);
        std::snprintf(name, sizeof name, "NUM %d", i);
        setKeyName(kGfxKeyNum0 + i, name);
        std::snprintf(name, sizeof name, "JOY BUTN %d", i);
        setKeyName(kGfxKeyJoystickFirst + i, name);
    }
    // Both letter ranges carry names, though the keyboard gives only the
    // lower-case codes.
    for (int i = 0; i < 26; ++i) {
        const char letter[2] = {static_cast<char>('A' + i), '\0'};
        setKeyName('A' + i, letter);
        setKeyName('a' + i, letter);
    }
    for (int i = 0; i < 12; ++i) {
        std::snprintf(name, sizeof name, "F%d", i + 1);
        setKeyName(kGfxKeyF1 + i, name);
    }
}
