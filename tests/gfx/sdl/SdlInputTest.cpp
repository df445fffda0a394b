// The input layer on SDL's dummy video driver, fed with real SDL events
// through the SDL platform.
#include "gfx/GfxInput.h"
#include "gfx/sdl/SdlPlatform.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

class SdlInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("SDL_VIDEODRIVER", "dummy", 1);
        // The dummy driver's window never has the focus a pad's presses need.
        ::setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
        platform = new SdlPlatform;
        ASSERT_TRUE(platform->isUsable());
        ASSERT_TRUE(platform->createWindow("Lurvane", 640, 480));
        ASSERT_EQ(input->Create(platform, platform->createInputDevices()), kGfxInputOk);
        pump(); // whatever SDL queued on its own
    }
    void TearDown() override {
        input.reset(); // the devices close before SDL shuts down
        delete platform;
    }

    // An event of the type, filled in by fill, queued as SDL queues its own.
    template <class Fill> void push(Uint32 type, Fill fill) {
        SDL_Event e;
        std::memset(&e, 0, sizeof e);
        e.type = type;
        fill(e);
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
    void key(Uint32 type, SDL_Scancode scancode, Uint8 repeat = 0) {
        push(type, [&](SDL_Event& e) {
            e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
            e.key.repeat = repeat;
            e.key.keysym.scancode = scancode;
        });
    }
    void text(const char* typed) {
        push(SDL_TEXTINPUT,
             [&](SDL_Event& e) { std::strncpy(e.text.text, typed, sizeof e.text.text - 1); });
    }
    void pump() {
        PlatformEvent e;
        while (platform->pollEvent(e)) {
        }
    }
    void update() {
        pump();
        EXPECT_EQ(input->Update(), kGfxInputOk);
    }

    SdlPlatform* platform = nullptr;
    std::unique_ptr<GfxInput> input = std::make_unique<GfxInput>();
};

} // namespace

TEST_F(SdlInputTest, SdlKeysArriveAsPcScanCodesAndKeyCodes) {
    const struct {
        SDL_Scancode sdl;
        int keyCode, scanCode;
    } keys[] = {{SDL_SCANCODE_LEFT, kGfxKeyLeftArrow, 0xCB},
                {SDL_SCANCODE_RCTRL, kGfxKeyRightCtrl, 0x9D},
                {SDL_SCANCODE_KP_8, kGfxKeyNum0 + 8, 0x48}};
    for (const auto& k : keys)
        key(SDL_KEYDOWN, k.sdl);
    update();
    for (const auto& k : keys) {
        EXPECT_EQ(input->GetKeyState(k.keyCode), kGfxKeyPressed) << k.keyCode;
        EXPECT_EQ(input->GetRawKey(k.scanCode), 0x80) << k.scanCode;
    }

    // Key repeats are no new presses.
    key(SDL_KEYDOWN, SDL_SCANCODE_LEFT, 1);
    update();
    EXPECT_EQ(input->GetKeyState(kGfxKeyLeftArrow), kGfxKeyHeld);
    key(SDL_KEYUP, SDL_SCANCODE_LEFT);
    update();
    EXPECT_EQ(input->GetKeyState(kGfxKeyLeftArrow), kGfxKeyReleased);
    update();
    EXPECT_EQ(input->GetKeyState(kGfxKeyLeftArrow), kGfxKeyUp);
    EXPECT_EQ(input->GetKeyState(kGfxKeyRightCtrl), kGfxKeyHeld);

    // A tap within one frame shows as pressed once.
    key(SDL_KEYDOWN, SDL_SCANCODE_A);
    key(SDL_KEYUP, SDL_SCANCODE_A);
    update();
    EXPECT_EQ(input->GetKeyState('a'), kGfxKeyPressed);
    update();
    EXPECT_EQ(input->GetKeyState('a'), kGfxKeyReleased);

    // Keys the PC scan codes do not know are no key.
    key(SDL_KEYDOWN, SDL_SCANCODE_F20);
    key(SDL_KEYDOWN, static_cast<SDL_Scancode>(SDL_NUM_SCANCODES - 1));
    update();
    for (int code = 0; code < kGfxKeyCodeCount; ++code) {
        if (code != kGfxKeyRightCtrl && code != kGfxKeyNum0 + 8) {
            EXPECT_EQ(input->GetKeyState(code), 0) << code;
        }
    }
}

TEST_F(SdlInputTest, CharactersComeFromTheLayoutAndTheTypedText) {
    // The dummy driver has SDL's default (US) layout.
    // Up arrow and delete type nothing; keypad enter is enter.
    const std::pair<int, int> typed[] = {{0x1E, 'a'}, {0x0C, '-'}, {0x1C, '\r'}, {0x01, 27},
                                         {0x0E, 8},   {0xC8, 0},   {0xD3, 0},    {0x9C, '\r'},
                                         {0x00, 0},   {0xFF, 0}};
    for (const auto& [scanCode, c] : typed)
        EXPECT_EQ(input->ScanCodeToChar(scanCode), c) << scanCode;

    // Shift and the layout's own characters come with the text event.
    key(SDL_KEYDOWN, SDL_SCANCODE_2);
    text("@");
    update();
    input->DetectNewKey(true);
    EXPECT_EQ(input->GetLastNewKey(), 0x03);
    EXPECT_EQ(input->ScanCodeToChar(input->GetLastNewKey()), '@');
    key(SDL_KEYDOWN, SDL_SCANCODE_SEMICOLON);
    text("\xC3\xB6"); // o umlaut, as a German layout types it
    update();
    input->DetectNewKey(true);
    EXPECT_EQ(input->GetLastNewKey(), 0x27);
    EXPECT_EQ(input->ScanCodeToChar(0x27), 0xF6);
}

TEST_F(SdlInputTest, TheDummyDriverHasNoMouseAndNoJoystick) {
    EXPECT_FALSE(input->HasMouse());
    EXPECT_FALSE(input->HasJoystick());

    push(SDL_MOUSEBUTTONDOWN, [](SDL_Event& e) {
        e.button.button = SDL_BUTTON_LEFT;
        e.button.state = SDL_PRESSED;
    });
    // A plug-in report without a device behind it opens nothing.
    push(SDL_JOYDEVICEADDED, [](SDL_Event& e) { e.jdevice.which = 0; });
    push(SDL_JOYDEVICEREMOVED, [](SDL_Event& e) { e.jdevice.which = 12345; });
    update();
    EXPECT_FALSE(input->HasJoystick());
    EXPECT_EQ(input->GetKeyState(kGfxKeyMouseFirst), 0);
    EXPECT_EQ(input->GetKeyState(kGfxKeyJoystickFirst), 0);
}

namespace {

// A pad on SDL's virtual joystick driver, plugged in after the game started.
struct VirtualPad {
    explicit VirtualPad(SDL_JoystickType type) {
        index =
            SDL_JoystickAttachVirtual(type, SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
        handle = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
    }
    ~VirtualPad() { unplug(); }
    void unplug() {
        if (handle)
            SDL_JoystickClose(handle);
        if (index >= 0)
            SDL_JoystickDetachVirtual(index);
        handle = nullptr;
        index = -1;
    }
    int index = -1;
    SDL_Joystick* handle = nullptr;
};

} // namespace

TEST_F(SdlInputTest, APadPluggedInWhilePlayingSteersAtOnceAndIsLostWhenPulledOut) {
    auto pad = std::make_unique<VirtualPad>(SDL_JOYSTICK_TYPE_GAMECONTROLLER);
    ASSERT_NE(pad->handle, nullptr) << SDL_GetError();
    update();
    ASSERT_TRUE(input->HasJoystick());
    EXPECT_EQ(input->GetJoystickSubtype(), kGfxJoystickGamepad);

    SDL_JoystickSetVirtualButton(pad->handle, SDL_CONTROLLER_BUTTON_A, 1);
    SDL_JoystickSetVirtualButton(pad->handle, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1);
    update();
    EXPECT_EQ(input->GetPadState(kGfxPadSouth), kGfxKeyPressed);
    EXPECT_EQ(input->GetKeyState(kGfxKeyJoystickFirst), kGfxKeyPressed);
    EXPECT_EQ(input->GetPadState(kGfxPadLeft), kGfxKeyPressed);
    SDL_JoystickSetVirtualButton(pad->handle, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0);
    SDL_JoystickSetVirtualButton(pad->handle, SDL_CONTROLLER_BUTTON_START, 1);
    SDL_JoystickSetVirtualAxis(pad->handle, SDL_CONTROLLER_AXIS_LEFTY, 20000);
    update();
    EXPECT_EQ(input->GetPadState(kGfxPadLeft), kGfxKeyReleased);
    EXPECT_EQ(input->GetPadState(kGfxPadDown), kGfxKeyPressed);
    EXPECT_EQ(input->GetPadState(kGfxPadStart), kGfxKeyPressed);
    EXPECT_EQ(input->GetKeyState(kGfxKeyJoystickFirst + 7), kGfxKeyPressed);

    // A second pad pulled out changes nothing; the first one is lost.
    {
        VirtualPad second(SDL_JOYSTICK_TYPE_GAMECONTROLLER);
        update();
    }
    update();
    EXPECT_EQ(input->GetJoystickLosses(), 0u);
    EXPECT_EQ(input->GetPadState(kGfxPadDown), kGfxKeyHeld);
    pad->unplug();
    update();
    EXPECT_EQ(input->GetJoystickLosses(), 1u);
    EXPECT_FALSE(input->HasJoystick());
    EXPECT_EQ(input->GetPadState(kGfxPadSouth), kGfxKeyReleased);
}

TEST_F(SdlInputTest, ARawJoystickUsesItsButtonsUntilTheMappingFileNamesItsLayout) {
    VirtualPad raw(SDL_JOYSTICK_TYPE_UNKNOWN);
    ASSERT_NE(raw.handle, nullptr) << SDL_GetError();
    update();
    ASSERT_TRUE(input->HasJoystick());
    SDL_JoystickSetVirtualButton(raw.handle, 9, 1);
    SDL_JoystickSetVirtualButton(raw.handle, 11, 1); // a direction pad button as a pad has it
    update();
    EXPECT_EQ(input->GetKeyState(kGfxKeyJoystickFirst + 9), kGfxKeyPressed);
    for (int control = 0; control < kGfxPadControlCount; ++control)
        EXPECT_EQ(input->GetPadState(control), kGfxKeyUp) << control;

    // The player's mapping file gives it a layout: button 3 is south, 11 up.
    char guid[33];
    SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(raw.handle), guid, sizeof guid);
    std::memcpy(guid + 4, "0000", 4); // mapping files name no checksum
    const std::string file = ::testing::TempDir() + "/gamecontrollerdb.txt";
    FILE* out = std::fopen(file.c_str(), "w");
    ASSERT_NE(out, nullptr);
    std::fprintf(out, "%s,Other,a:b0,platform:Windows,\n%s,Broken,a:q0\n%s,Ours,a:b3,dpup:b11,\n",
                 guid, guid, guid);
    std::fclose(out);
    // Opened before the first input closes, so SDL's pad system stays up.
    auto remapped = std::make_unique<GfxInput>();
    ASSERT_EQ(remapped->Create(platform, platform->createInputDevices(), file.c_str()),
              kGfxInputOk);
    input = std::move(remapped);
    SDL_JoystickSetVirtualButton(raw.handle, 3, 1);
    update();
    EXPECT_EQ(input->GetPadState(kGfxPadSouth), kGfxKeyPressed);
    EXPECT_EQ(input->GetPadState(kGfxPadUp), kGfxKeyPressed);
    EXPECT_EQ(input->GetKeyState(kGfxKeyJoystickFirst), kGfxKeyPressed);
    std::remove(file.c_str());
}
