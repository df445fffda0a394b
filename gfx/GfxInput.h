// Keyboard, mouse and joystick in one space of key codes, 0 to 269, each
// with a four-valued state that tells a fresh press and a fresh release
// apart from holding and rest. Key bindings are stored as these codes, and
// every code has a name for the key configuration screen.
//
// Keys and mouse buttons arrive as platform events and are sampled by
// Update, once per frame; a press that is released again before the next
// Update is kept so that it still shows as pressed once. The joystick is
// polled by Update.
#pragma once

#include "gfx/GfxInputDevices.h"
#include "gfx/Platform.h"

#include <cstdint>

// Key codes 0 to 255 are keyboard keys: printable keys are their unshifted
// US characters (letters lower case), the rest below.
constexpr int kGfxKeyCodeCount = 270;
constexpr int kGfxKeyNone = 0x00;
constexpr int kGfxKeyBackspace = 0x08;
constexpr int kGfxKeyTab = 0x09;
constexpr int kGfxKeyEnter = 0x0D;
constexpr int kGfxKeyEscape = 0x1B;
constexpr int kGfxKeySpace = 0x20;
constexpr int kGfxKeyLeftShift = 0x80;
constexpr int kGfxKeyRightShift = 0x81;
constexpr int kGfxKeyLeftCtrl = 0x82;
constexpr int kGfxKeyRightCtrl = 0x83;
constexpr int kGfxKeyLeftAlt = 0x84;
constexpr int kGfxKeyRightAlt = 0x85;
constexpr int kGfxKeyLeftArrow = 0x86;
constexpr int kGfxKeyRightArrow = 0x87;
constexpr int kGfxKeyUpArrow = 0x88;
constexpr int kGfxKeyDownArrow = 0x89;
constexpr int kGfxKeyF1 = 0x8A; // to F12 at 0x95
constexpr int kGfxKeyInsert = 0x96;
constexpr int kGfxKeyDelete = 0x97;
constexpr int kGfxKeyHome = 0x98;
constexpr int kGfxKeyEnd = 0x99;
constexpr int kGfxKeyPageUp = 0x9A;
constexpr int kGfxKeyPageDown = 0x9B;
constexpr int kGfxKeyNumSlash = 0x9C;
constexpr int kGfxKeyNumStar = 0x9D;
constexpr int kGfxKeyNumMinus = 0x9E;
constexpr int kGfxKeyNumPlus = 0x9F;
constexpr int kGfxKeyNumEnter = 0xA0;
constexpr int kGfxKeyNumPeriod = 0xA1;
constexpr int kGfxKeyNum0 = 0xA2; // to NUM 9 at 0xAB
constexpr int kGfxKeyNumLock = 0xAC;
constexpr int kGfxKeyCapsLock = 0xAD;
constexpr int kGfxKeyScrollLock = 0xAE;
constexpr int kGfxKeyPrintScreen = 0xAF;
constexpr int kGfxKeyPause = 0xB0;
// Mouse buttons 1 to 4 (left, right, middle, fourth).
constexpr int kGfxKeyMouseFirst = 0x100;
constexpr int kGfxMouseButtons = 4;
// Joystick buttons 0 to 9.
constexpr int kGfxKeyJoystickFirst = 0x104;

// PC keyboard scan codes (set 1), as GetRawKey and DetectNewKey speak them.
constexpr int kGfxScanCodeCount = 256;

// The left stick steers only past the press threshold, and lets go of a
// direction only below the release threshold (of 32767), so a stick resting
// or wobbling at the edge does not flicker. A held direction also stays
// until the other axis leans more than 5/4 as far (about 51 degrees), so a
// stick held near a diagonal keeps one direction.
constexpr int kGfxStickPress = 16384;  // half way
constexpr int kGfxStickRelease = 9830; // three tenths
constexpr int kGfxStickTurnNum = 5;    // the other axis must exceed
constexpr int kGfxStickTurnDen = 4;    // ...the held one by this ratio

// At most 11 characters and the terminator.
constexpr int kGfxKeyNameSize = 12;

enum GfxKeyState : uint8_t {
    kGfxKeyUp = 0,
    kGfxKeyReleased = 1, // released in this update
    kGfxKeyPressed = 2,  // pressed in this update
    kGfxKeyHeld = 3,
};

// Results of Create.
constexpr int kGfxInputOk = 0;
constexpr int kGfxInputNoPlatform = -1;
constexpr int kGfxInputNoDevices = -2;

struct GfxInputPoint {
    int32_t x = 0, y = 0;
};

struct GfxInputLimits {
    int32_t left = INT32_MIN, top = INT32_MIN, right = INT32_MAX, bottom = INT32_MAX;
};

class GfxInput : public PlatformEventListener {
public:
    GfxInput();
    ~GfxInput() override;
    GfxInput(const GfxInput&) = delete;
    GfxInput& operator=(const GfxInput&) = delete;

    // Listens to the platform's events and takes ownership of the devices.
    // Absent devices are no failure. Result kGfxInputOk or negative.
    // Lines of the pad mapping file, when its name is given, are added
    // before any pad is opened; a malformed line is skipped with one line in
    // the error log.
    int Create(Platform* platform, GfxInputDevices* devices, const char* padMappingFile = nullptr);
    // Adds the mappings of one file; the number of lines added, or -1 when
    // the file cannot be read (no file is no error for the caller).
    int LoadPadMappings(const char* fileName);
    // Whether a line is a pad mapping SDL's text format can hold: a GUID of
    // 32 hex digits, a name, and bindings of known fields.
    static bool IsPadMappingLine(const char* line);
    // The direction of the left stick at (x, y) given the one held before.
    static int StickDirection(int x, int y, int held);
    // Samples all devices and advances every key state; once per frame.
    int Update();

    // The state of a key code; 0 for codes outside 0..269.
    uint8_t GetKeyState(int keyCode) const;
    // The keyboard buffer byte of a scan code (bit 7 set = down), else 0.
    uint8_t GetRawKey(int scanCode) const;
    // With reset, forgets the last new key first; then takes the first scan
    // code that went down since the previous call as the last new key.
    void DetectNewKey(bool reset);
    // The character the current keyboard layout gives for the key, or 0.
    uint8_t ScanCodeToChar(int scanCode) const;
    // Copies the name of a key code into the buffer, always terminated and
    // cut to length - 1 characters. Result 1; -1 for a null buffer, a length
    // below 1 or a code outside 0..269 (the buffer then holds "").
    int GetKeyName(int keyCode, char* buffer, int length) const;
    // Sets every key state, both keyboard buffers, the wheel, the press
    // times and the press positions to 0.
    void ClearStates();

    // The state of a pad control (GfxPadControl) of a pad with a known
    // layout, as key states go; 0 without such a pad.
    uint8_t GetPadState(int control) const;
    // A pad control went down since the mouse last moved.
    bool IsPadInUse() const { return padInUse_; }
    // How often the open joystick was pulled out.
    uint32_t GetJoystickLosses() const { return joystickLosses_; }

    // The key code the keyboard gives for a scan code; 0 when none.
    static int KeyCodeOfScanCode(int scanCode);

    bool HasMouse() const { return mouseAcquired_; }
    bool HasJoystick() const { return joystickAcquired_; }
    GfxInputPoint GetMousePosition() const { return mousePosition_; }
    GfxInputPoint GetMouseTravel() const { return mouseTravel_; }
    GfxInputPoint GetMouseMovement() const { return mouseMovement_; }
    GfxInputPoint GetJoystickPosition() const { return joystickPosition_; }
    GfxInputPoint GetJoystickTravel() const { return joystickTravel_; }
    GfxInputPoint GetJoystickMovement() const { return joystickMovement_; }
    bool GetWheelUp() const { return wheelUp_ != 0; }
    bool GetWheelDown() const { return wheelDown_ != 0; }
    int GetWheelUpNotches() const { return wheelUpNotches_; }
    int GetWheelDownNotches() const { return wheelDownNotches_; }
    uint8_t GetLastNewKey() const { return lastNewKey_; }
    int GetJoystickSubtype() const { return joystickSubtype_; }
    // When the key code last became pressed (platform milliseconds) and the
    // mouse travel at that moment; 0 for codes outside 0..269.
    uint32_t GetPressTime(int keyCode) const;
    GfxInputPoint GetPressPosition(int keyCode) const;

    void SetMouseSensitivity(float sensitivity) { mouseSensitivity_ = sensitivity; }
    void SetJoystickSensitivity(float sensitivity) { joystickSensitivity_ = sensitivity; }
    void SetMouseLimits(const GfxInputLimits& limits) { mouseLimits_ = limits; }
    void SetJoystickLimits(const GfxInputLimits& limits) { joystickLimits_ = limits; }

    GfxInputDevices* GetDevices() const { return devices_; }

    void onPlatformEvent(const PlatformEvent& event) override;

private:
    // What the events told about one key or button since the last Update.
    struct EventKey {
        bool down = false;     // down after the last event
        bool pressed = false;  // went down since the last Update
        bool released = false; // went up since the last Update
    };

    static bool isValidKeyCode(int keyCode) { return keyCode >= 0 && keyCode < kGfxKeyCodeCount; }
    // Whether the key counts as down in this Update, given its state.
    static bool sample(EventKey& key, uint8_t state);
    void advance(int keyCode, bool down);
    // Moves one four-valued state on; true when it became pressed.
    static bool step(uint8_t& state, bool down);
    void readPad(const GfxJoystickState& joystick, bool attached);
    void setPadInUse(bool inUse);
    void readKeyboard();
    void readMouse();
    void readJoystick();
    void openJoystick();
    void releaseEventKeys();
    void fillKeyNames();
    void setKeyName(int keyCode, const char* name);

    Platform* platform_ = nullptr;
    GfxInputDevices* devices_ = nullptr;
    bool mouseAcquired_ = false;
    bool joystickAcquired_ = false;
    int joystickSubtype_ = kGfxJoystickNone;
    uint32_t joystickLosses_ = 0;
    uint8_t padStates_[kGfxPadControlCount] = {};
    int stickDirection_ = kGfxPadNoDirection;
    bool padInUse_ = false;

    float mouseSensitivity_ = 1.0f;
    float joystickSensitivity_ = 1.0f;
    GfxInputLimits mouseLimits_;
    GfxInputLimits joystickLimits_;

    GfxInputPoint mousePosition_, mouseTravel_, mouseMovement_;
    GfxInputPoint joystickPosition_, joystickTravel_, joystickMovement_;

    uint8_t keyStates_[kGfxKeyCodeCount] = {};
    uint8_t keyboardBuffer_[kGfxScanCodeCount] = {};
    uint8_t keptKeyboardBuffer_[kGfxScanCodeCount] = {};

    uint8_t wheelUp_ = 0, wheelDown_ = 0, wheelUpNotches_ = 0, wheelDownNotches_ = 0;

    uint32_t pressTimes_[kGfxKeyCodeCount] = {};
    GfxInputPoint pressPositions_[kGfxKeyCodeCount];

    uint8_t lastNewKey_ = 0;
    char keyNames_[kGfxKeyCodeCount][kGfxKeyNameSize] = {};

    // Gathered from events between two updates.
    EventKey keyboardEvents_[kGfxScanCodeCount];
    EventKey mouseEvents_[kGfxMouseButtons];
    int32_t pendingMouseX_ = 0, pendingMouseY_ = 0;
    int32_t pendingWheel_ = 0;
    // The character typed with the latest press of each scan code (0 when
    // the press typed none, or one a name cannot hold), whether the press
    // came with a text at all, and the scan code of the latest press.
    uint8_t typedChars_[kGfxScanCodeCount] = {};
    bool typedText_[kGfxScanCodeCount] = {};
    int lastPressedScanCode_ = 0;
};
