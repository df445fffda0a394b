// The input devices on SDL2: SDL's scancodes turned into PC keyboard scan
// codes through one table, characters from the current keyboard layout, and
// the first joystick or game controller, picked up also when it is plugged
// in while the game runs.
#include "gfx/GfxInput.h"
#include "gfx/sdl/SdlPlatform.h"

#include <SDL.h>

#include <cmath>
#include <cstring>

namespace {

struct ScanCodePair {
    SDL_Scancode sdl;
    uint8_t pc;
};

// SDL scancode -> PC scan code (set 1). Where two SDL keys share a PC key
// the first is the one characters are looked up by.
constexpr ScanCodePair kScanCodes[] = {
    {SDL_SCANCODE_ESCAPE, 0x01},
    {SDL_SCANCODE_1, 0x02},
    {SDL_SCANCODE_2, 0x03},
    {SDL_SCANCODE_3, 0x04},
    {SDL_SCANCODE_4, 0x05},
    {SDL_SCANCODE_5, 0x06},
    {SDL_SCANCODE_6, 0x07},
    {SDL_SCANCODE_7, 0x08},
    {SDL_SCANCODE_8, 0x09},
    {SDL_SCANCODE_9, 0x0A},
    {SDL_SCANCODE_0, 0x0B},
    {SDL_SCANCODE_MINUS, 0x0C},
    {SDL_SCANCODE_EQUALS, 0x0D},
    {SDL_SCANCODE_BACKSPACE, 0x0E},
    {SDL_SCANCODE_TAB, 0x0F},
    {SDL_SCANCODE_Q, 0x10},
    {SDL_SCANCODE_W, 0x11},
    {SDL_SCANCODE_E, 0x12},
    {SDL_SCANCODE_R, 0x13},
    {SDL_SCANCODE_T, 0x14},
    {SDL_SCANCODE_Y, 0x15},
    {SDL_SCANCODE_U, 0x16},
    {SDL_SCANCODE_I, 0x17},
    {SDL_SCANCODE_O, 0x18},
    {SDL_SCANCODE_P, 0x19},
    {SDL_SCANCODE_LEFTBRACKET, 0x1A},
    {SDL_SCANCODE_RIGHTBRACKET, 0x1B},
    {SDL_SCANCODE_RETURN, 0x1C},
    {SDL_SCANCODE_LCTRL, 0x1D},
    {SDL_SCANCODE_A, 0x1E},
    {SDL_SCANCODE_S, 0x1F},
    {SDL_SCANCODE_D, 0x20},
    {SDL_SCANCODE_F, 0x21},
    {SDL_SCANCODE_G, 0x22},
    {SDL_SCANCODE_H, 0x23},
    {SDL_SCANCODE_J, 0x24},
    {SDL_SCANCODE_K, 0x25},
    {SDL_SCANCODE_L, 0x26},
    {SDL_SCANCODE_SEMICOLON, 0x27},
    {SDL_SCANCODE_APOSTROPHE, 0x28},
    {SDL_SCANCODE_GRAVE, 0x29},
    {SDL_SCANCODE_LSHIFT, 0x2A},
    {SDL_SCANCODE_BACKSLASH, 0x2B},
    {SDL_SCANCODE_NONUSHASH, 0x2B}, // the same key on ISO keyboards
    {SDL_SCANCODE_Z, 0x2C},
    {SDL_SCANCODE_X, 0x2D},
    {SDL_SCANCODE_C, 0x2E},
    {SDL_SCANCODE_V, 0x2F},
    {SDL_SCANCODE_B, 0x30},
    {SDL_SCANCODE_N, 0x31},
    {SDL_SCANCODE_M, 0x32},
    {SDL_SCANCODE_COMMA, 0x33},
    {SDL_SCANCODE_PERIOD, 0x34},
    {SDL_SCANCODE_SLASH, 0x35},
    {SDL_SCANCODE_RSHIFT, 0x36},
    {SDL_SCANCODE_KP_MULTIPLY, 0x37},
    {SDL_SCANCODE_LALT, 0x38},
    {SDL_SCANCODE_SPACE, 0x39},
    {SDL_SCANCODE_CAPSLOCK, 0x3A},
    {SDL_SCANCODE_F1, 0x3B},
    {SDL_SCANCODE_F2, 0x3C},
    {SDL_SCANCODE_F3, 0x3D},
    {SDL_SCANCODE_F4, 0x3E},
    {SDL_SCANCODE_F5, 0x3F},
    {SDL_SCANCODE_F6, 0x40},
    {SDL_SCANCODE_F7, 0x41},
    {SDL_SCANCODE_F8, 0x42},
    {SDL_SCANCODE_F9, 0x43},
    {SDL_SCANCODE_F10, 0x44},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x45},
    {SDL_SCANCODE_SCROLLLOCK, 0x46},
    {SDL_SCANCODE_KP_7, 0x47},
    {SDL_SCANCODE_KP_8, 0x48},
    {SDL_SCANCODE_KP_9, 0x49},
    {SDL_SCANCODE_KP_MINUS, 0x4A},
    {SDL_SCANCODE_KP_4, 0x4B},
    {SDL_SCANCODE_KP_5, 0x4C},
    {SDL_SCANCODE_KP_6, 0x4D},
    {SDL_SCANCODE_KP_PLUS, 0x4E},
    {SDL_SCANCODE_KP_1, 0x4F},
    {SDL_SCANCODE_KP_2, 0x50},
    {SDL_SCANCODE_KP_3, 0x51},
    {SDL_SCANCODE_KP_0, 0x52},
    {SDL_SCANCODE_KP_PERIOD, 0x53},
    {SDL_SCANCODE_NONUSBACKSLASH, 0x56}, // the extra key of ISO keyboards
    {SDL_SCANCODE_F11, 0x57},
    {SDL_SCANCODE_F12, 0x58},
    {SDL_SCANCODE_INTERNATIONAL2, 0x70},
    {SDL_SCANCODE_INTERNATIONAL1, 0x73},
    {SDL_SCANCODE_INTERNATIONAL4, 0x79},
    {SDL_SCANCODE_INTERNATIONAL5, 0x7B},
    {SDL_SCANCODE_INTERNATIONAL3, 0x7D},
    {SDL_SCANCODE_KP_ENTER, 0x9C},
    {SDL_SCANCODE_RCTRL, 0x9D},
    {SDL_SCANCODE_KP_DIVIDE, 0xB5},
    {SDL_SCANCODE_PRINTSCREEN, 0xB7},
    {SDL_SCANCODE_RALT, 0xB8},
    {SDL_SCANCODE_PAUSE, 0xC5},
    {SDL_SCANCODE_HOME, 0xC7},
    {SDL_SCANCODE_UP, 0xC8},
    {SDL_SCANCODE_PAGEUP, 0xC9},
    {SDL_SCANCODE_LEFT, 0xCB},
    {SDL_SCANCODE_RIGHT, 0xCD},
    {SDL_SCANCODE_END, 0xCF},
    {SDL_SCANCODE_DOWN, 0xD0},
    {SDL_SCANCODE_PAGEDOWN, 0xD1},
    {SDL_SCANCODE_INSERT, 0xD2},
    {SDL_SCANCODE_DELETE, 0xD3},
    {SDL_SCANCODE_LGUI, 0xDB},
    {SDL_SCANCODE_RGUI, 0xDC},
    {SDL_SCANCODE_APPLICATION, 0xDD},
};

// The axis range after the dead zone of 1000 in 10000.
constexpr double kDeadZone = 0.1;

// The ten buttons of a game controller in the order joystick drivers give
// them for such pads.
constexpr SDL_GameControllerButton kControllerButtons[kGfxJoystickButtons] = {
    SDL_CONTROLLER_BUTTON_A,
    SDL_CONTROLLER_BUTTON_B,
    SDL_CONTROLLER_BUTTON_X,
    SDL_CONTROLLER_BUTTON_Y,
    SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
    SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
    SDL_CONTROLLER_BUTTON_BACK,
    SDL_CONTROLLER_BUTTON_START,
    SDL_CONTROLLER_BUTTON_LEFTSTICK,
    SDL_CONTROLLER_BUTTON_RIGHTSTICK,
};

constexpr SDL_GameControllerButton kDirectionButtons[4] = {
    SDL_CONTROLLER_BUTTON_DPAD_UP,
    SDL_CONTROLLER_BUTTON_DPAD_DOWN,
    SDL_CONTROLLER_BUTTON_DPAD_LEFT,
    SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
};

int axisValue(Sint16 raw) {
    const double value = raw < 0 ? raw / 32768.0 : raw / 32767.0;
    const double magnitude = std::fabs(value);
    if (magnitude <= kDeadZone)
        return 0;
    int scaled =
        static_cast<int>((magnitude - kDeadZone) / (1.0 - kDeadZone) * kGfxJoystickAxisRange + 0.5);
    if (scaled > kGfxJoystickAxisRange)
        scaled = kGfxJoystickAxisRange;
    return value < 0 ? -scaled : scaled;
}

uint8_t latin1Upper(uint8_t c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return static_cast<uint8_t>(c - 0x20);
    return c;
}

bool isLatin1Letter(uint8_t c) {
    return latin1Upper(c) != c;
}

// Characters of the number pad, which the layout does not give.
uint8_t keypadChar(SDL_Scancode scancode, bool numLock) {
    switch (scancode) {
    case SDL_SCANCODE_KP_DIVIDE:
        return '/';
    case SDL_SCANCODE_KP_MULTIPLY:
        return '*';
    case SDL_SCANCODE_KP_MINUS:
        return '-';
    case SDL_SCANCODE_KP_PLUS:
        return '+';
    case SDL_SCANCODE_KP_ENTER:
        return '\r';
    case SDL_SCANCODE_KP_PERIOD:
        return numLock ? '.' : 0;
    case SDL_SCANCODE_KP_0:
        return numLock ? '0' : 0;
    default:
        if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
            return numLock ? static_cast<uint8_t>('1' + (scancode - SDL_SCANCODE_KP_1)) : 0;
        return 0;
    }
}

class SdlInputDevices final : public GfxInputDevices {
public:
    SdlInputDevices() {
        for (const ScanCodePair& pair : kScanCodes) {
            sdlToPc_[pair.sdl] = pair.pc;
            if (!pcToSdl_[pair.pc])
                pcToSdl_[pair.pc] = pair.sdl;
        }
        // No joystick system means no joystick, which is no failure.
        joystickSystem_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    }

    ~SdlInputDevices() override {
        closeJoystick();
        if (joystickSystem_)
            SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }

    SdlInputDevices(const SdlInputDevices&) = delete;
    SdlInputDevices& operator=(const SdlInputDevices&) = delete;

    int toScanCode(int platformKey) const override {
        return platformKey >= 0 && platformKey < SDL_NUM_SCANCODES ? sdlToPc_[platformKey] : 0;
    }

    uint8_t scanCodeToChar(int scanCode) const override {
        if (scanCode <= 0 || scanCode >= kGfxScanCodeCount || !pcToSdl_[scanCode])
            return 0;
        const SDL_Scancode scancode = pcToSdl_[scanCode];
        const SDL_Keymod mods = SDL_GetModState();
        if (const uint8_t c = keypadChar(scancode, (mods & KMOD_NUM) != 0))
            return c;
        const SDL_Keycode key = SDL_GetKeyFromScancode(scancode);
        if (key <= 0 || key > 0xFF || key == SDLK_DELETE)
            return 0;
        const auto c = static_cast<uint8_t>(key);
        const bool shift = (mods & KMOD_SHIFT) != 0;
        const bool caps = (mods & KMOD_CAPS) != 0;
        if (isLatin1Letter(c) && shift != caps)
            return latin1Upper(c);
        return c;
    }

    bool hasMouse() const override {
        const char* driver = SDL_GetCurrentVideoDriver();
        return driver && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "offscreen") != 0;
    }

    void cursorPosition(int& x, int& y) const override { SDL_GetMouseState(&x, &y); }

    bool openJoystick() override {
        if (controller_ || joystick_)
            return true;
        if (!joystickSystem_)
            return false;
        const int count = SDL_NumJoysticks();
        for (int i = 0; i < count; ++i) {
            if (SDL_IsGameController(i)) {
                controller_ = SDL_GameControllerOpen(i);
                if (controller_) {
                    instance_ = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller_));
                    return true;
                }
            }
            joystick_ = SDL_JoystickOpen(i);
            if (joystick_) {
                instance_ = SDL_JoystickInstanceID(joystick_);
                return true;
            }
        }
        return false;
    }

    void deviceAdded(int) override {}

    bool deviceRemoved(int instance) override {
        if (!(controller_ || joystick_) || instance != instance_)
            return false;
        closeJoystick();
        openJoystick(); // another one may still be plugged in
        return true;
    }

    bool addPadMapping(const char* line) override {
        if (!joystickSystem_)
            return false;
        // A line for another system is no fault of the file.
        if (const char* platform = std::strstr(line, "platform:")) {
            platform += std::strlen("platform:");
            const size_t length = std::strcspn(platform, ",");
            const char* ours = SDL_GetPlatform();
            if (std::strlen(ours) != length || std::strncmp(platform, ours, length) != 0)
                return true;
        }
        return SDL_GameControllerAddMapping(line) >= 0;
    }

    bool readJoystick(GfxJoystickState& state) override {
        state = GfxJoystickState();
        if (controller_) {
            if (!SDL_GameControllerGetAttached(controller_)) {
                closeJoystick();
                return false;
            }
            state.x = axisValue(SDL_GameControllerGetAxis(controller_, SDL_CONTROLLER_AXIS_LEFTX));
            state.y = axisValue(SDL_GameControllerGetAxis(controller_, SDL_CONTROLLER_AXIS_LEFTY));
            for (int i = 0; i < kGfxJoystickButtons; ++i)
                state.buttons[i] = SDL_GameControllerGetButton(controller_, kControllerButtons[i]);
            state.mapped = true;
            for (int d = 0; d < 4; ++d)
                state.dpad[d] = SDL_GameControllerGetButton(controller_, kDirectionButtons[d]);
            state.stickX = SDL_GameControllerGetAxis(controller_, SDL_CONTROLLER_AXIS_LEFTX);
            state.stickY = SDL_GameControllerGetAxis(controller_, SDL_CONTROLLER_AXIS_LEFTY);
            return true;
        }
        if (joystick_) {
            if (!SDL_JoystickGetAttached(joystick_)) {
                closeJoystick();
                return false;
            }
            const int axes = SDL_JoystickNumAxes(joystick_);
            if (axes > 0)
                state.x = axisValue(SDL_JoystickGetAxis(joystick_, 0));
            if (axes > 1)
                state.y = axisValue(SDL_JoystickGetAxis(joystick_, 1));
            const int buttons = SDL_JoystickNumButtons(joystick_);
            for (int i = 0; i < kGfxJoystickButtons && i < buttons; ++i)
                state.buttons[i] = SDL_JoystickGetButton(joystick_, i) != 0;
            return true;
        }
        return false;
    }

    int joystickSubtype() const override {
        if (controller_)
            return kGfxJoystickGamepad;
        if (!joystick_)
            return kGfxJoystickNone;
        switch (SDL_JoystickGetType(joystick_)) {
        case SDL_JOYSTICK_TYPE_GAMECONTROLLER:
        case SDL_JOYSTICK_TYPE_ARCADE_PAD:
        case SDL_JOYSTICK_TYPE_DANCE_PAD:
        case SDL_JOYSTICK_TYPE_GUITAR:
        case SDL_JOYSTICK_TYPE_DRUM_KIT:
            return kGfxJoystickGamepad;
        case SDL_JOYSTICK_TYPE_WHEEL:
            return kGfxJoystickWheel;
        case SDL_JOYSTICK_TYPE_FLIGHT_STICK:
            return kGfxJoystickFlightStick;
        case SDL_JOYSTICK_TYPE_ARCADE_STICK:
            return kGfxJoystickTraditional;
        default:
            return kGfxJoystickUnknown;
        }
    }

private:
    void closeJoystick() {
        if (controller_)
            SDL_GameControllerClose(controller_);
        if (joystick_)
            SDL_JoystickClose(joystick_);
        controller_ = nullptr;
        joystick_ = nullptr;
        instance_ = -1;
    }

    uint8_t sdlToPc_[SDL_NUM_SCANCODES] = {};
    SDL_Scancode pcToSdl_[kGfxScanCodeCount] = {};
    bool joystickSystem_ = false;
    SDL_GameController* controller_ = nullptr;
    SDL_Joystick* joystick_ = nullptr;
    SDL_JoystickID instance_ = -1;
};

} // namespace

GfxInputDevices* SdlPlatform::createInputDevices() {
    return new SdlInputDevices;
}
