// The input layer on scripted events: key events carry PC scan codes, the
// mouse and joystick are what each test makes of them.
#include "tests/support/Golden.h"
#include "tests/support/ScanCodes.h"
#include "tests/support/ScriptedInput.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

class GfxInputTest : public ::testing::Test, protected ScriptedInput {
protected:
    GfxInputTest()
        : ScriptedInput([](HeadlessInputDevices& d) {
              d.cursorX = 100;
              d.cursorY = 50;
          }) {}
    void event(PlatformEvent::Type type, int scancode = 0) { key(type, scancode); }
    std::vector<int> statesOf(int keyCode, int updates) {
        std::vector<int> states;
        for (int i = 0; i < updates; ++i) {
            update();
            states.push_back(input.GetKeyState(keyCode));
        }
        return states;
    }
    std::string name(int keyCode) {
        char buffer[kGfxKeyNameSize];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(input.GetKeyName(keyCode, buffer, sizeof buffer), 1);
        return buffer;
    }
};

} // namespace

TEST_F(GfxInputTest, AHeldKeyAdvancesThroughItsFourStates) {
    platform.setTime(5000);
    event(PlatformEvent::KeyDown, kScanLeft);
    EXPECT_EQ(statesOf(kGfxKeyLeftArrow, 3), (std::vector<int>{2, 3, 3}));
    EXPECT_EQ(input.GetPressTime(kGfxKeyLeftArrow), 5000u);
    EXPECT_EQ(input.GetRawKey(kScanLeft), 0x80);
    event(PlatformEvent::KeyUp, kScanLeft);
    EXPECT_EQ(statesOf(kGfxKeyLeftArrow, 2), (std::vector<int>{1, 0}));
    EXPECT_EQ(input.GetRawKey(kScanLeft), 0);
}

TEST_F(GfxInputTest, APressBetweenTwoUpdatesIsNotLost) {
    // Pressed and released before the update: pressed once, then released.
    event(PlatformEvent::KeyDown, kScanA);
    event(PlatformEvent::KeyUp, kScanA);
    EXPECT_EQ(statesOf('a', 3), (std::vector<int>{2, 1, 0}));

    // Held, then released and pressed again between two updates: the
    // release shows, then the new press.
    event(PlatformEvent::KeyDown, kScanA);
    EXPECT_EQ(statesOf('a', 2), (std::vector<int>{2, 3}));
    event(PlatformEvent::KeyUp, kScanA);
    event(PlatformEvent::KeyDown, kScanA);
    EXPECT_EQ(statesOf('a', 3), (std::vector<int>{1, 2, 3}));

    // The same for a mouse button.
    mouse(PlatformEvent::MouseButtonDown, 1);
    mouse(PlatformEvent::MouseButtonUp, 1);
    EXPECT_EQ(statesOf(kGfxKeyMouseFirst, 3), (std::vector<int>{2, 1, 0}));
}

TEST_F(GfxInputTest, CorruptCodesReadAsNoKey) {
    event(PlatformEvent::KeyDown, kScanA);
    event(PlatformEvent::KeyDown, 300); // outside the scan code space
    event(PlatformEvent::KeyDown, -4);
    update();
    EXPECT_EQ(input.GetKeyState(270), 0);
    EXPECT_EQ(input.GetKeyState(-1), 0);
    EXPECT_EQ(input.GetKeyState(65535), 0);
    EXPECT_EQ(input.GetRawKey(256), 0);
    EXPECT_EQ(input.GetRawKey(-1), 0);
    EXPECT_EQ(input.GetPressTime(-7), 0u);
    EXPECT_EQ(input.ScanCodeToChar(-1), 0);
    EXPECT_EQ(input.ScanCodeToChar(999), 0);
    char buffer[8] = "junk";
    EXPECT_EQ(input.GetKeyName(270, buffer, sizeof buffer), -1);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(input.GetKeyName(-3, buffer, sizeof buffer), -1);
    EXPECT_EQ(input.GetKeyName(0x100, nullptr, 8), -1);
    EXPECT_EQ(input.GetKeyName(0x100, buffer, 0), -1);
}

// Every key's name, and the key code of every scan code, against the
// stored table.
TEST_F(GfxInputTest, KeyNamesAndTheScanCodeMapAreThoseOfTheTable) {
    std::string table;
    for (int code = 0; code < kGfxKeyCodeCount; ++code) {
        table += "key " + std::to_string(code) + ": " + name(code) + "\n";
        EXPECT_LE(name(code).size(), 11u) << code;
    }
    for (int scanCode = -1; scanCode <= 256; ++scanCode)
        table += "scan " + std::to_string(scanCode) + ": " +
                 std::to_string(GfxInput::KeyCodeOfScanCode(scanCode)) + "\n";
    checkGoldenText(LURVANE_GOLDEN_DIR "/keys.txt", table);

    // A short buffer gets a cut, terminated name.
    char shortBuffer[5];
    std::memset(shortBuffer, 'x', sizeof shortBuffer);
    EXPECT_EQ(input.GetKeyName(kGfxKeyLeftArrow, shortBuffer, 4), 1);
    EXPECT_STREQ(shortBuffer, "LEF");
    EXPECT_EQ(shortBuffer[4], 'x');

    // An unmapped key still shows in the keyboard buffer.
    event(PlatformEvent::KeyDown, 0x56);
    update();
    EXPECT_EQ(input.GetRawKey(0x56), 0x80);
}

TEST_F(GfxInputTest, DetectNewKeyFindsTheFirstKeyThatWentDown) {
    update();
    input.DetectNewKey(true);
    EXPECT_EQ(input.GetLastNewKey(), 0);

    event(PlatformEvent::KeyDown, kScanEnter);
    event(PlatformEvent::KeyDown, kScanA);
    update();
    input.DetectNewKey(true);
    EXPECT_EQ(input.GetLastNewKey(), kScanEnter);
    // Without reset and without a change the last new key stays.
    update();
    input.DetectNewKey(false);
    EXPECT_EQ(input.GetLastNewKey(), kScanEnter);
    input.DetectNewKey(true);
    EXPECT_EQ(input.GetLastNewKey(), 0);
    // A tap between two updates is still found.
    event(PlatformEvent::KeyDown, 0x10);
    event(PlatformEvent::KeyUp, 0x10);
    update();
    input.DetectNewKey(true);
    EXPECT_EQ(input.GetLastNewKey(), 0x10);
}

TEST_F(GfxInputTest, ScanCodeToCharFollowsTheTypedText) {
    EXPECT_EQ(input.ScanCodeToChar(kScanA), 'a');
    EXPECT_EQ(input.ScanCodeToChar(kScanEnter), '\r');
    EXPECT_EQ(input.ScanCodeToChar(0x3B), 0); // F1 types nothing
    devices->shift = true;
    EXPECT_EQ(input.ScanCodeToChar(kScanA), 'A');
    devices->shift = false;

    // The text a press typed wins over the layout's plain character.
    PlatformEvent text;
    text.type = PlatformEvent::TextInput;
    std::strcpy(text.text, "\xC3\xA9"); // e acute in UTF-8
    event(PlatformEvent::KeyDown, 0x03);
    platform.pushEvent(text);
    update();
    EXPECT_EQ(input.ScanCodeToChar(0x03), 0xE9);
    // Text outside Latin-1 types nothing, not the key's plain character.
    std::strcpy(text.text, "\xE2\x82\xAC"); // euro sign
    event(PlatformEvent::KeyUp, 0x03);
    event(PlatformEvent::KeyDown, 0x03);
    platform.pushEvent(text);
    update();
    EXPECT_EQ(input.ScanCodeToChar(0x03), 0);
    // A press without text has the layout's character again.
    event(PlatformEvent::KeyUp, 0x03);
    event(PlatformEvent::KeyDown, 0x03);
    update();
    EXPECT_EQ(input.ScanCodeToChar(0x03), '2');
}

TEST_F(GfxInputTest, MouseMovesWithAccelerationWithinItsLimits) {
    EXPECT_TRUE(input.HasMouse());
    EXPECT_EQ(input.GetMousePosition().x, 100);
    EXPECT_EQ(input.GetMousePosition().y, 50);
    const int moves[][2] = {{2, 2}, {3, 4}, {6, 9}, {7, 14}, {-3, -4}, {0, 0}};
    int travel = 0;
    for (const auto& move : moves) {
        mouse(PlatformEvent::MouseMotion, 0, move[0], 0);
        update();
        travel += move[1];
        EXPECT_EQ(input.GetMouseMovement().x, move[1]) << move[0];
        EXPECT_EQ(input.GetMouseTravel().x, travel);
    }
    EXPECT_EQ(input.GetMousePosition().x, 100 + travel);

    // Movements between two updates add up before the acceleration.
    mouse(PlatformEvent::MouseMotion, 0, 0, 2);
    mouse(PlatformEvent::MouseMotion, 0, 0, 1);
    update();
    EXPECT_EQ(input.GetMouseMovement().y, 4);

    input.SetMouseSensitivity(0.5f);
    GfxInputLimits limits;
    limits.left = 0;
    limits.top = 0;
    limits.right = 640;
    limits.bottom = 480;
    input.SetMouseLimits(limits);
    mouse(PlatformEvent::MouseMotion, 0, 2000, -2000);
    update();
    EXPECT_EQ(input.GetMouseMovement().x, 2000);
    EXPECT_EQ(input.GetMousePosition().x, 639);
    EXPECT_EQ(input.GetMousePosition().y, 0);

    // Far beyond what int holds: saturated, never overflowed.
    input.SetMouseSensitivity(1e30f);
    input.SetMouseLimits(GfxInputLimits());
    mouse(PlatformEvent::MouseMotion, 0, 100, 0);
    update();
    mouse(PlatformEvent::MouseMotion, 0, 100, 0);
    update();
    EXPECT_EQ(input.GetMousePosition().x, INT32_MAX - 1);
}

TEST_F(GfxInputTest, MouseButtonsAndWheel) {
    mouse(PlatformEvent::MouseMotion, 0, 5, 1);
    mouse(PlatformEvent::MouseButtonDown, 3); // right
    mouse(PlatformEvent::MouseButtonDown, 2); // middle
    mouse(PlatformEvent::MouseButtonDown, 4); // not looked at
    update();
    for (int button : {0, 1, 2, 3})
        EXPECT_EQ(input.GetKeyState(kGfxKeyMouseFirst + button),
                  button == 1 || button == 2 ? kGfxKeyPressed : 0)
            << button;
    EXPECT_EQ(input.GetPressPosition(kGfxKeyMouseFirst + 1).x, 7);
    EXPECT_EQ(input.GetPressPosition(kGfxKeyMouseFirst + 1).y, 1);

    // Up and down flags, then the notch counts up and down; without
    // movement both flags clear and the counts stay.
    auto wheel = [&](int notches) {
        if (notches)
            mouse(PlatformEvent::MouseWheel, 0, 0, 0, notches);
        update();
        return std::to_string(input.GetWheelUp()) + std::to_string(input.GetWheelDown()) + " " +
               std::to_string(input.GetWheelUpNotches()) +
               std::to_string(input.GetWheelDownNotches());
    };
    EXPECT_EQ(wheel(2), "10 20");
    EXPECT_EQ(wheel(-1), "01 21");
    EXPECT_EQ(wheel(0), "00 21");
}

TEST_F(GfxInputTest, ClearStatesAndFocusLoss) {
    event(PlatformEvent::KeyDown, kScanA);
    mouse(PlatformEvent::MouseWheel, 0, 0, 0, 1);
    update();
    input.ClearStates();
    EXPECT_EQ(input.GetKeyState('a'), 0);
    EXPECT_EQ(input.GetRawKey(kScanA), 0);
    EXPECT_EQ(input.GetPressTime('a'), 0u);
    EXPECT_FALSE(input.GetWheelUp());
    EXPECT_EQ(input.GetWheelUpNotches(), 0);
    // A key still held comes back as pressed, as from the device.
    update();
    EXPECT_EQ(input.GetKeyState('a'), kGfxKeyPressed);

    // Keys held across a focus loss come back up.
    event(PlatformEvent::Deactivated);
    event(PlatformEvent::Activated);
    EXPECT_EQ(statesOf('a', 2), (std::vector<int>{0, 0}));
    event(PlatformEvent::KeyUp, kScanA); // the late release changes nothing
    EXPECT_EQ(statesOf('a', 1), (std::vector<int>{0}));
}

TEST(GfxInputDevicesTest, AbsentDevicesAreSimplyAbsent) {
    ScriptedInput s([](HeadlessInputDevices& d) { d.mousePresent = false; });
    EXPECT_FALSE(s.input.HasMouse());
    EXPECT_FALSE(s.input.HasJoystick());
    EXPECT_EQ(s.input.GetJoystickSubtype(), kGfxJoystickNone);
    s.mouse(PlatformEvent::MouseButtonDown, 1);
    s.mouse(PlatformEvent::MouseMotion, 0, 10);
    s.update();
    EXPECT_EQ(s.input.GetKeyState(kGfxKeyMouseFirst), 0);
    EXPECT_EQ(s.input.GetMouseTravel().x, 0);
    EXPECT_EQ(s.input.GetKeyState(kGfxKeyJoystickFirst), 0);

    // Creating without a platform or without devices fails cleanly.
    GfxInput other;
    EXPECT_EQ(other.Create(nullptr, new HeadlessInputDevices), kGfxInputNoPlatform);
    EXPECT_EQ(other.Create(&s.platform, nullptr), kGfxInputNoDevices);
    EXPECT_EQ(other.Update(), kGfxInputOk);
}

TEST_F(GfxInputTest, AJoystickPluggedInWhileRunningIsPickedUp) {
    EXPECT_FALSE(input.HasJoystick());
    devices->joystickAttached = true;
    devices->joystick.x = 1000;
    devices->joystick.y = -250;
    devices->joystick.buttons[0] = true;
    devices->joystick.buttons[9] = true;
    platform.pushEvent(PlatformEvent::DeviceAdded);
    update();
    EXPECT_TRUE(input.HasJoystick());
    EXPECT_EQ(input.GetJoystickSubtype(), kGfxJoystickGamepad);
    EXPECT_EQ(input.GetKeyState(kGfxKeyJoystickFirst), kGfxKeyPressed);
    EXPECT_EQ(input.GetKeyState(kGfxKeyJoystickFirst + 9), kGfxKeyPressed);
    EXPECT_EQ(input.GetKeyState(kGfxKeyJoystickFirst + 1), 0);
    EXPECT_EQ(input.GetJoystickMovement().x, 1000);
    // Axes are added up into a position within the limits and never give
    // key states.
    GfxInputLimits limits;
    limits.left = -1500;
    limits.right = 1500;
    input.SetJoystickLimits(limits);
    input.SetJoystickSensitivity(0.5f);
    update();
    EXPECT_EQ(input.GetJoystickMovement().x, 500);
    EXPECT_EQ(input.GetJoystickPosition().x, 1499);
    EXPECT_EQ(input.GetJoystickTravel().x, 1500);
    EXPECT_EQ(input.GetJoystickTravel().y, -375);
    EXPECT_EQ(input.GetKeyState(kGfxKeyJoystickFirst), kGfxKeyHeld);

    // Pulled out: the buttons come up and the joystick is gone.
    devices->joystickAttached = false;
    platform.pushEvent(PlatformEvent::DeviceRemoved);
    EXPECT_EQ(statesOf(kGfxKeyJoystickFirst, 2), (std::vector<int>{kGfxKeyReleased, 0}));
    EXPECT_FALSE(input.HasJoystick());
    EXPECT_EQ(devices->devicesAdded, 1);
    EXPECT_EQ(devices->devicesRemoved, 1);
}
