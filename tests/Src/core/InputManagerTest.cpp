// Control states from key sets, on scripted key and pad events.
#include "Src/core/InputManager.h"
#include "tests/support/ScanCodes.h"

#include "gfx/GfxInput.h"
#include "gfx/HeadlessInputDevices.h"
#include "gfx/HeadlessPlatform.h"
#include "lib/String.h"
#include "tests/support/Golden.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::map<std::string, int> kScans = {{"esc", kScanEscape},
                                           {"enter", kScanEnter},
                                           {"lctrl", kScanLeftCtrl},
                                           {"rctrl", kScanRightCtrl},
                                           {"p", kScanP},
                                           {"a", kScanA},
                                           {"s", kScanS},
                                           {"d", kScanD},
                                           {"w", 0x11},
                                           {"x", kScanX},
                                           {"up", kScanUp},
                                           {"down", kScanDown},
                                           {"left", kScanLeft},
                                           {"right", kScanRight}};
const std::map<std::string, int> kKeys = {
    {"x", 'x'}, {"lctrl", kGfxKeyLeftCtrl}, {"mouse", kGfxKeyMouseFirst}};
const std::map<std::string, int> kPad = {
    {"left", kGfxPadLeft},   {"right", kGfxPadRight},          {"up", kGfxPadUp},
    {"down", kGfxPadDown},   {"south", kGfxPadSouth},          {"east", kGfxPadEast},
    {"west", kGfxPadWest},   {"north", kGfxPadNorth},          {"back", kGfxPadBack},
    {"start", kGfxPadStart}, {"shoulder", kGfxPadLeftShoulder}};

std::string stateText(const ControlState& s) {
    std::string buttons;
    buttons += s.buttons & kControlFire ? "F" : "";
    buttons += s.buttons & kControlPause ? "P" : "";
    buttons += s.buttons & kControlEscape ? "E" : "";
    return std::to_string(s.horizontal) + "," + std::to_string(s.vertical) + "," +
           (buttons.empty() ? "-" : buttons);
}

const KeySet kNoKeys = {};
const KeySet kFireOnX = {{134, 135, 136, 137, 'x', 112, 27}}; // player 1's, fire on X
// Codes as a damaged settings file may hold them.
const KeySet kCorrupt = {{270, -1, 100000, INT32_MIN, 0x7FFFFFFF, -270, 0}};

// A manager played by a script of words: +key / -key, ^control holds a pad
// control, b=N a joystick button, pad lets go of them all, plug / unplug,
// click (left), all (every key down); m / g update as a menu / a game, c
// clears, reopen opens the device anew. Asking words add "word=answer": s
// (states), k (any key), j (any joystick button), ?key (down), ^?control
// (pressed, down), loss (taken).
struct Rig {
    HeadlessPlatform platform;
    InputManager manager;

    std::string run(const KeySet* one, const KeySet* two, const std::string& script) {
        EXPECT_TRUE(manager.init(&platform));
        manager.setKeySet(0, one);
        manager.setKeySet(1, two);
        HeadlessInputDevices* devices = platform.inputDevices();
        std::istringstream words(script);
        std::string out;
        for (std::string w; words >> w;) {
            const std::string rest = w.substr(1);
            if (w[0] == '+' || w[0] == '-') {
                PlatformEvent e;
                e.type = w[0] == '+' ? PlatformEvent::KeyDown : PlatformEvent::KeyUp;
                e.scancode = kScans.count(rest) ? kScans.at(rest) : std::stoi(rest);
                platform.pushEvent(e);
            } else if (w.rfind("^?", 0) == 0) {
                const int control = kPad.at(w.substr(2));
                out += " " + w + "=" + std::to_string(manager.isPadPressed(control)) +
                       std::to_string(manager.isPadDown(control));
            } else if (w.rfind("b=", 0) == 0) {
                devices->joystick.buttons[std::stoi(w.substr(2))] = true;
            } else if (w[0] == '^') {
                devices->setPadControl(kPad.at(rest), true);
            } else if (w == "pad") {
                devices->joystick = GfxJoystickState();
                devices->joystick.mapped = true;
            } else if (w == "plug") {
                devices->plugPad();
                platform.pushEvent(PlatformEvent::DeviceAdded);
            } else if (w == "unplug") {
                devices->joystickAttached = false;
            } else if (w == "click") {
                PlatformEvent e;
                e.type = PlatformEvent::MouseButtonDown;
                e.button = 1;
                platform.pushEvent(e);
            } else if (w == "all") {
                for (int scan = 1; scan < 0xE0; ++scan)
                    run(one, two, "+" + std::to_string(scan));
            } else if (w == "c") {
                manager.clearStates();
            } else if (w == "reopen") {
                manager.shutdown();
                EXPECT_TRUE(manager.init(&platform));
            } else {
                PlatformEvent e;
                while (platform.pollEvent(e)) {
                }
                if (w == "m")
                    out += " m=" + stateText(*manager.updateForMenu());
                if (w == "g")
                    manager.updateForGame();
                if (w == "g" || w == "s")
                    out += " " + w + "=" + stateText(*manager.state(0)) + "|" +
                           stateText(*manager.state(1));
                if (w == "k")
                    out += " k=" + std::to_string(manager.anyKey());
                if (w == "j")
                    out += " j=" + std::to_string(manager.anyJoystickButton());
                if (w[0] == '?')
                    out += " " + w + "=" + std::to_string(manager.isKeyDown(kKeys.at(rest)));
                if (w == "loss")
                    out += " loss=" + std::to_string(manager.takePadLoss());
            }
        }
        return out;
    }
};

} // namespace

// Menus merge the menu keys with both players', a menu key winning; a game
// latches each player's keys until cleared; a pad steers player 1.
TEST(InputManager, ScriptedKeysAndPadsGiveTheirControlStates) {
    const struct {
        const char* what;
        const KeySet* one;
        const KeySet* two;
        const char* script;
    } cases[] = {
        {"menu keys and both players", &kDefaultKeysPlayer1, &kDefaultKeysPlayer2,
         "m +rctrl m -rctrl m m +left +d m -left m m -d +s +lctrl +enter +p +esc m +up m"},
        {"menu arrows alone", &kNoKeys, &kDefaultKeysPlayer2,
         "+left m -left m m +right m -right m m +up m -up m m +down m"},
        {"player 2 in a menu", &kNoKeys, &kDefaultKeysPlayer2,
         "+a m -a m m +d m -d m m +w m -w m m +s m"},
        {"each direction in a game", &kDefaultKeysPlayer1, &kDefaultKeysPlayer2,
         "+left g -left g g c +right g -right g g c +up g -up g g c +down g -down g g c +a g -a g "
         "g c +d g -d g g c +w g -w g g c +s g"},
        {"latched until cleared", &kFireOnX, &kDefaultKeysPlayer2,
         "+x -x g g g ?x +right g +left g c s g -left -right g g c +a g c s"},
        {"no key or corrupt codes", &kCorrupt, nullptr, "all g"},
        {"any key", &kDefaultKeysPlayer1, &kDefaultKeysPlayer2,
         "k +lctrl g k +enter +a g k -lctrl -enter -a g k ?lctrl g k click g ?mouse k"},
        {"pad left", &kNoKeys, &kNoKeys, "plug pad m m ^left c g m"},
        {"pad right down", &kNoKeys, &kNoKeys, "plug pad m m ^right ^down c g m"},
        {"pad up left", &kNoKeys, &kNoKeys, "plug pad m m ^up ^left c g m"},
        {"pad south", &kNoKeys, &kNoKeys, "plug pad m m ^south c g m"},
        {"pad back", &kNoKeys, &kNoKeys, "plug pad m m ^back c g m"},
        {"pad start", &kNoKeys, &kNoKeys, "plug pad m m ^start c g m"},
        {"pad east", &kNoKeys, &kNoKeys, "plug pad m m ^east c g m"},
        {"pad others", &kNoKeys, &kNoKeys, "plug pad m m ^west ^north ^shoulder c g m"},
        {"key over pad", &kNoKeys, &kNoKeys,
         "plug pad m m ^right +left m ^?right m ^?right j b=4 b=8 m j"},
        {"pad pulled out", &kDefaultKeysPlayer1, &kDefaultKeysPlayer2,
         "plug g loss unplug g loss loss plug g unplug m g loss"},
        {"reopened device", &kDefaultKeysPlayer1, &kDefaultKeysPlayer2,
         "plug g unplug +rctrl g loss reopen s g loss"},
    };
    std::string transcript;
    for (const auto& c : cases) {
        Rig rig;
        transcript += std::string(c.what) + ":" + rig.run(c.one, c.two, c.script) + "\n";
    }
    checkGoldenText(std::string(LURVANE_TEST_GOLDEN_DIR) + "/control_states.txt", transcript);
}

// Without a device every query answers "nothing"; the device is opened
// once; the menus name keys through the game's input manager.
TEST(InputManager, OwnsTheDeviceAndNamesKeys) {
    Rig rig;
    InputManager& manager = rig.manager;
    EXPECT_FALSE(manager.isKeyDown(kGfxKeyEnter));
    EXPECT_EQ(manager.updateForMenu()->buttons, 0);
    EXPECT_FALSE(manager.init(nullptr));
    EXPECT_EQ(manager.input(), nullptr);
    rig.run(&kCorrupt, &kDefaultKeysPlayer2, "");
    GfxInput* input = manager.input();
    EXPECT_TRUE(manager.init(&rig.platform));
    EXPECT_EQ(manager.input(), input);
    EXPECT_EQ(manager.state(7), manager.state(1)); // any non-zero player: the second
    EXPECT_FALSE(manager.isKeyDown(270));
    EXPECT_FALSE(manager.isKeyDown(-1));
    String name = "old";
    manager.keyName(100000, name);
    EXPECT_EQ(name, "");
    InputManager* const before = inputManager;
    inputManager = &manager;
    EXPECT_STREQ(keyBindingText("Fire", kDefaultKeysPlayer2.keys[kKeyFire]).c_str(),
                 "Fire = LEFT CTRL");
    inputManager = nullptr;
    nameOfKey(kGfxKeyUpArrow, name);
    EXPECT_EQ(name, "");
    inputManager = before;
    manager.shutdown();
    EXPECT_EQ(manager.input(), nullptr);
}
