// The input layer on SDL's dummy video driver, fed with real SDL events
// through the SDL platform.
#include "gfx/GfxInput.h"
#include "gfx/sdl/SdlPlatform.h"
#include "tests/support/Golden.h"
#include "tests/support/InputScript.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
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
        EXPECT_EQ(SDL_WasInit(SDL_INIT_JOYSTICK), 0u) << "SDL's pad system left running";
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
    void pump() {
        PlatformEvent e;
        while (platform->pollEvent(e)) {
        }
    }

    // A script of steps split at spaces: "+Left" and "-Left" a key (SDL's
    // name, "_" for a space, or "#" and a number) down and up, "*Left" a
    // repeat, "text@" the text a press types, "b3=1" and "a1=20000" a button
    // and an axis of the virtual pad; "." updates and adds a transcript line
    // of the steps since the line before and the input state, "," the same
    // before SDL's queued events are read.
    std::string run(const std::string& script, SDL_Joystick* pad = nullptr) {
        std::string out, steps;
        std::istringstream in(script);
        for (std::string step; in >> step;) {
            steps += (steps.empty() ? "" : " ") + step;
            std::string name = step.substr(1);
            std::replace(name.begin(), name.end(), '_', ' ');
            const auto scancode = static_cast<SDL_Scancode>(
                name[0] == '#' ? std::stoi(name.substr(1)) : SDL_GetScancodeFromName(name.c_str()));
            int control = 0, value = 0;
            if (step == "." || step == ",") {
                if (step == ".")
                    pump();
                EXPECT_EQ(input->Update(), kGfxInputOk);
                out += "  " + steps + " =>" + inputState(*input, false) + "\n";
                steps.clear();
            } else if (step.rfind("text", 0) == 0)
                push(SDL_TEXTINPUT, [&](SDL_Event& e) {
                    std::strncpy(e.text.text, step.c_str() + 4, sizeof e.text.text - 1);
                });
            else if (std::sscanf(step.c_str() + 1, "%d=%d", &control, &value) == 2)
                step[0] == 'b' ? SDL_JoystickSetVirtualButton(pad, control, value)
                               : SDL_JoystickSetVirtualAxis(pad, control, value);
            else
                push(step[0] == '-' ? SDL_KEYUP : SDL_KEYDOWN, [&](SDL_Event& e) {
                    e.key.state = step[0] == '-' ? SDL_RELEASED : SDL_PRESSED;
                    e.key.repeat = step[0] == '*';
                    e.key.keysym.scancode = scancode;
                });
        }
        return out;
    }

    SdlPlatform* platform = nullptr;
    std::unique_ptr<GfxInput> input = std::make_unique<GfxInput>();
};

} // namespace

TEST_F(SdlInputTest, SdlKeysArriveAsPcScanCodesWithTheCharactersOfTheLayoutAndText) {
    // The dummy driver has no mouse, a plug-in report without a device opens
    // nothing, and the layout is SDL's default (US). Repeats are no new
    // presses; a tap in one frame is pressed once; keys the PC scan codes do
    // not know are no key; shift and the layout's own characters come with
    // the text event.
    push(SDL_MOUSEBUTTONDOWN, [](SDL_Event& e) {
        e.button.button = SDL_BUTTON_LEFT;
        e.button.state = SDL_PRESSED;
    });
    push(SDL_JOYDEVICEADDED, [](SDL_Event& e) { e.jdevice.which = 0; });
    push(SDL_JOYDEVICEREMOVED, [](SDL_Event& e) { e.jdevice.which = 12345; });
    std::string transcript = run("+Left +Right_Ctrl +Keypad_8 . *Left . -Left . . +A -A . . "
                                 "+F20 +#511 . +2 text@ . +; text\xC3\xB6 .");
    // Every SDL key's PC scan code, and what it types: arrows and delete
    // nothing, keypad enter is enter.
    for (int sdl = 0; sdl < SDL_NUM_SCANCODES; ++sdl)
        if (const int pc = input->GetDevices()->toScanCode(sdl))
            transcript += std::to_string(sdl) + " " +
                          SDL_GetScancodeName(static_cast<SDL_Scancode>(sdl)) + " is " +
                          std::to_string(pc) + ", types " +
                          std::to_string(input->GetDevices()->scanCodeToChar(pc)) + "\n";
    // With num lock and shift: the number pad's digits, capital letters.
    SDL_SetModState(static_cast<SDL_Keymod>(KMOD_NUM | KMOD_LSHIFT));
    transcript += "num lock and shift:";
    for (int pc = 1; pc < 256; ++pc)
        if (const int c = input->GetDevices()->scanCodeToChar(pc))
            transcript += " " + std::to_string(c);
    SDL_SetModState(KMOD_NONE);
    checkGoldenText(LURVANE_GOLDEN_DIR "/sdlkeys.txt", transcript + "\n");
    for (int outside : {-1, 0, int{SDL_NUM_SCANCODES}, 100000})
        EXPECT_EQ(input->GetDevices()->toScanCode(outside), 0) << outside;
    for (int outside : {-1, 0, 256, 100000})
        EXPECT_EQ(input->GetDevices()->scanCodeToChar(outside), 0) << outside;
}

namespace {

// A pad on SDL's virtual joystick driver, plugged in after the game started.
struct VirtualPad {
    explicit VirtualPad(SDL_JoystickType type, int axes = SDL_CONTROLLER_AXIS_MAX) {
        const int index = SDL_JoystickAttachVirtual(type, axes, SDL_CONTROLLER_BUTTON_MAX, 0);
        handle = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
        id = SDL_JoystickInstanceID(handle);
    }
    ~VirtualPad() { unplug(); }
    void unplug() {
        SDL_JoystickClose(handle);
        handle = nullptr;
        // Pads plugged in later move down when an earlier one goes.
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id)
                SDL_JoystickDetachVirtual(i);
    }
    SDL_JoystickID id = -1;
    SDL_Joystick* handle = nullptr;
};

} // namespace

// Plugged in while playing, a pad steers at once; a second pad pulled out
// changes nothing, the first one is lost and a spare one taken; a pad found
// pulled out before SDL tells is lost as well.
TEST_F(SdlInputTest, APadPluggedInWhilePlayingSteersAtOnceAndIsLostWhenPulledOut) {
    auto pad = std::make_unique<VirtualPad>(SDL_JOYSTICK_TYPE_GAMECONTROLLER);
    ASSERT_NE(pad->handle, nullptr) << SDL_GetError();
    std::string transcript = run(". b0=1 b13=1 . b13=0 b6=1 a1=20000 a0=-20000 .", pad->handle);
    {
        VirtualPad second(SDL_JOYSTICK_TYPE_GAMECONTROLLER);
        transcript += run(".");
    }
    transcript += run(".");
    auto spare = std::make_unique<VirtualPad>(SDL_JOYSTICK_TYPE_GAMECONTROLLER);
    pad->unplug();
    transcript += run(".");
    spare->unplug();
    transcript += run(", .");

    // A raw joystick uses its first ten buttons and two axes until the
    // player's mapping file gives it a layout: button 3 is south, 11 up.
    VirtualPad raw(SDL_JOYSTICK_TYPE_UNKNOWN, 2);
    ASSERT_NE(raw.handle, nullptr) << SDL_GetError();
    transcript += "raw\n" + run(". b9=1 b10=1 b11=1 a0=-20000 a1=20000 .", raw.handle);
    char guid[33];
    SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(raw.handle), guid, sizeof guid);
    std::memcpy(guid + 4, "0000", 4); // mapping files name no checksum
    const std::string file = ::testing::TempDir() + "/gamecontrollerdb.txt";
    FILE* out = std::fopen(file.c_str(), "w");
    ASSERT_NE(out, nullptr);
    // A line for another system, even one whose name starts like ours, is left out.
    std::fprintf(out,
                 "%s,Other,a:b0,platform:Windows,\n%s,Broken,a:q0\n%s,Ours,a:b3,dpup:b11,\n"
                 "%s,Short,a:b5,platform:Lin,\n",
                 guid, guid, guid, guid);
    std::fclose(out);
    // Opened before the first input closes, so SDL's pad system stays up.
    auto remapped = std::make_unique<GfxInput>();
    ASSERT_EQ(remapped->Create(platform, platform->createInputDevices(), file.c_str()),
              kGfxInputOk);
    input = std::move(remapped);
    transcript += "mapped\n" + run("b3=1 .", raw.handle);
    // Read again, the lines that change a known layout count as taken.
    transcript += "again " + std::to_string(input->LoadPadMappings(file.c_str())) + "\n";
    std::remove(file.c_str());
    // Raw ones in turn: the wheel taken when the mapped pad goes, the stick
    // when the wheel goes, and the stick found pulled out.
    VirtualPad wheel(SDL_JOYSTICK_TYPE_WHEEL), stick(SDL_JOYSTICK_TYPE_ARCADE_STICK);
    raw.unplug();
    transcript += run(".");
    wheel.unplug();
    transcript += run(".");
    stick.unplug();
    transcript += run(", .");
    // Every pad pulled out is let go of, also by the input closed before.
    for (SDL_JoystickID id : {pad->id, spare->id, raw.id, wheel.id, stick.id})
        EXPECT_EQ(SDL_JoystickFromInstanceID(id), nullptr) << id;
    checkGoldenText(LURVANE_GOLDEN_DIR "/sdlpads.txt", transcript);
}
