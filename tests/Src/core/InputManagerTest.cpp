// Control states from key sets, on scripted key events.
#include "Src/core/InputManager.h"
#include "tests/support/ScanCodes.h"

#include "gfx/GfxInput.h"
#include "gfx/HeadlessInputDevices.h"
#include "gfx/HeadlessPlatform.h"
#include "lib/String.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class InputManagerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(manager.init(&platform)); }

    void key(bool down, int scanCode) {
        PlatformEvent e;
        e.type = down ? PlatformEvent::KeyDown : PlatformEvent::KeyUp;
        e.scancode = scanCode;
        platform.pushEvent(e);
    }
    void press(int scanCode) { key(true, scanCode); }
    void release(int scanCode) { key(false, scanCode); }
    void pump() {
        PlatformEvent e;
        while (platform.pollEvent(e)) {
        }
    }
    ControlState menu() {
        pump();
        return *manager.updateForMenu();
    }
    void game() {
        pump();
        manager.updateForGame();
    }

    HeadlessPlatform platform;
    InputManager manager;
};

} // namespace

TEST_F(InputManagerTest, MenusMergeTheMenuKeysWithBothPlayersKeys) {
    ControlState s = menu();
    EXPECT_EQ(s.horizontal, 0);
    EXPECT_EQ(s.vertical, 0);
    EXPECT_EQ(s.buttons, 0);

    // Player 1's default fire key fires in a menu.
    press(kScanRightCtrl);
    s = menu();
    EXPECT_EQ(s.buttons, kControlFire);
    release(kScanRightCtrl);
    menu();
    s = menu();
    EXPECT_EQ(s.buttons, 0);

    // The menu key wins over player 2's opposite direction.
    press(kScanLeft);
    press(kScanD);
    s = menu();
    EXPECT_EQ(s.horizontal, -1);
    release(kScanLeft);
    menu();
    s = menu();
    EXPECT_EQ(s.horizontal, 1); // player 2's right alone
    release(kScanD);

    // Player 2's keys: down, and the left Ctrl as fire; ENTER, 'p' and ESC
    // from the menu keys.
    press(kScanS);
    press(kScanLeftCtrl);
    press(kScanEnter);
    press(kScanP);
    press(kScanEscape);
    s = menu();
    EXPECT_EQ(s.vertical, 1);
    EXPECT_EQ(s.buttons, kControlFire | kControlPause | kControlEscape);
    // The up arrow is a menu key and wins.
    press(kScanUp);
    s = menu();
    EXPECT_EQ(s.vertical, -1);
}

TEST_F(InputManagerTest, AKeySetEntryOfNoKeyOrACorruptCodeNeverActs) {
    // Player 2's default set has no pause and no escape key.
    EXPECT_EQ(manager.keySet(1)->keys[kKeyPause], 0);
    EXPECT_EQ(manager.keySet(1)->keys[kKeyEscape], 0);

    // Codes as a damaged settings file may hold them.
    const KeySet corrupt = {{270, -1, 100000, INT32_MIN, 0x7FFFFFFF, -270, 0}};
    manager.setKeySet(0, &corrupt);
    manager.setKeySet(1, nullptr);
    for (int scan = 1; scan < 0xE0; ++scan)
        press(scan);
    pump();
    manager.updateForGame();
    EXPECT_EQ(manager.state(0)->horizontal, 0);
    EXPECT_EQ(manager.state(0)->vertical, 0);
    EXPECT_EQ(manager.state(0)->buttons, 0);
    EXPECT_EQ(manager.state(1)->buttons, 0);
    EXPECT_FALSE(manager.isKeyDown(270));
    EXPECT_FALSE(manager.isKeyDown(-1));
    String name = "old";
    manager.keyName(100000, name);
    EXPECT_EQ(name, "");
}

TEST_F(InputManagerTest, GameStatesLatchUntilCleared) {
    KeySet first = kDefaultKeysPlayer1;
    first.keys[kKeyFire] = 'x';
    manager.setKeySet(0, &first);
    manager.setKeySet(1, &kDefaultKeysPlayer2);

    // Tapped between two frames: the idle updates keep it for the frame.
    press(kScanX);
    release(kScanX);
    game();
    game();
    game();
    EXPECT_EQ(manager.state(0)->buttons, kControlFire);
    EXPECT_EQ(manager.state(1)->buttons, 0);
    EXPECT_FALSE(manager.isKeyDown('x'));

    // A later direction does not replace one already set.
    press(kScanRight);
    game();
    press(kScanLeft);
    game();
    EXPECT_EQ(manager.state(0)->horizontal, 1);
    manager.clearStates();
    EXPECT_EQ(manager.state(0)->horizontal, 0);
    EXPECT_EQ(manager.state(0)->buttons, 0);
    game();
    EXPECT_EQ(manager.state(0)->horizontal, -1); // both held: left first
    release(kScanLeft);
    release(kScanRight);
    game();
    game();

    // Player 2's keys go into the second state only; any non-zero player
    // number names it.
    manager.clearStates();
    press(kScanA);
    game();
    EXPECT_EQ(manager.state(0)->horizontal, 0);
    EXPECT_EQ(manager.state(1)->horizontal, -1);
    EXPECT_EQ(manager.state(7), manager.state(1));
    manager.clearStates();
    EXPECT_EQ(manager.state(1)->horizontal, 0);
}

TEST_F(InputManagerTest, KeyQueriesAndNames) {
    EXPECT_EQ(manager.anyKey(), 0);
    press(kScanLeftCtrl);
    game();
    EXPECT_EQ(manager.anyKey(), kGfxKeyLeftCtrl);
    press(kScanEnter);
    press(kScanA);
    game();
    EXPECT_EQ(manager.anyKey(), kGfxKeyEnter);
    release(kScanLeftCtrl);
    release(kScanEnter);
    release(kScanA);
    game();
    EXPECT_EQ(manager.anyKey(), kGfxKeyEnter); // released in this update
    EXPECT_TRUE(manager.isKeyDown(kGfxKeyLeftCtrl));
    game();
    EXPECT_EQ(manager.anyKey(), 0);

    // Mouse buttons are never reported.
    PlatformEvent click;
    click.type = PlatformEvent::MouseButtonDown;
    click.button = 1;
    platform.pushEvent(click);
    game();
    EXPECT_TRUE(manager.isKeyDown(kGfxKeyMouseFirst));
    EXPECT_EQ(manager.anyKey(), 0);

    // The menus name keys through the game's input manager, none without it.
    InputManager* const before = inputManager;
    inputManager = &manager;
    EXPECT_STREQ(keyBindingText("Fire", kDefaultKeysPlayer2.keys[kKeyFire]).c_str(),
                 "Fire = LEFT CTRL");
    inputManager = nullptr;
    String name = "old";
    nameOfKey(kGfxKeyUpArrow, name);
    EXPECT_EQ(name, "");
    inputManager = before;
}

// Without a device every query answers "nothing"; the device is opened once.
TEST(InputManager, IsTheModuleThatOwnsTheDevice) {
    HeadlessPlatform platform;
    InputManager manager;
    EXPECT_FALSE(manager.isKeyDown(kGfxKeyEnter));
    EXPECT_EQ(manager.updateForMenu()->buttons, 0);
    EXPECT_FALSE(manager.init(nullptr));
    EXPECT_EQ(manager.input(), nullptr);
    EXPECT_TRUE(manager.init(&platform));
    GfxInput* input = manager.input();
    EXPECT_TRUE(manager.init(&platform));
    EXPECT_EQ(manager.input(), input);
    manager.shutdown();
    EXPECT_EQ(manager.input(), nullptr);
}

TEST_F(InputManagerTest, EachDirectionKeyAloneGivesItsDirection) {
    const KeySet none = {};
    manager.setKeySet(0, &kDefaultKeysPlayer1);
    manager.setKeySet(1, &kDefaultKeysPlayer2);
    struct Row {
        int scan;
        int horizontal, vertical;
    };
    // Arrows: the menu keys (and player 1); W A S D: player 2.
    for (const Row& row : std::vector<Row>{{kScanLeft, -1, 0},
                                           {kScanRight, 1, 0},
                                           {kScanUp, 0, -1},
                                           {0xD0, 0, 1},
                                           {kScanA, -1, 0},
                                           {kScanD, 1, 0},
                                           {0x11, 0, -1},
                                           {kScanS, 0, 1}}) {
        SCOPED_TRACE(row.scan);
        press(row.scan);
        manager.setKeySet(0, &none); // the menu keys on their own
        const ControlState m = menu();
        manager.setKeySet(0, &kDefaultKeysPlayer1);
        EXPECT_EQ(m.horizontal, row.horizontal);
        EXPECT_EQ(m.vertical, row.vertical);
        manager.clearStates();
        game();
        const bool second =
            row.scan == kScanA || row.scan == kScanD || row.scan == 0x11 || row.scan == kScanS;
        EXPECT_EQ(manager.state(second ? 1 : 0)->horizontal, row.horizontal);
        EXPECT_EQ(manager.state(second ? 1 : 0)->vertical, row.vertical);
        release(row.scan);
        game();
        game();
        manager.clearStates();
    }
}

TEST_F(InputManagerTest, APadSteersPlayerOneAndWorksEveryMenuWhateverKeysAreBound) {
    const KeySet none = {};
    manager.setKeySet(0, &none); // no key bound at all
    auto* devices = platform.inputDevices();
    ASSERT_NE(devices, nullptr);
    devices->plugPad();
    platform.pushEvent(PlatformEvent::DeviceAdded);
    // Pad controls held -> the game's player 1 state, then a menu's state
    // (horizontal, vertical, buttons each).
    const struct {
        std::vector<int> held;
        ControlState game, menu;
    } cases[] = {
        {{kGfxPadLeft}, {-1, 0, 0}, {-1, 0, 0}},
        {{kGfxPadRight, kGfxPadDown}, {1, 1, 0}, {1, 1, 0}},
        {{kGfxPadUp, kGfxPadLeft}, {-1, -1, 0}, {-1, -1, 0}},
        {{kGfxPadSouth}, {0, 0, kControlFire}, {0, 0, kControlFire}},
        {{kGfxPadBack}, {0, 0, kControlPause}, {0, 0, 0}},
        {{kGfxPadStart}, {0, 0, kControlEscape}, {0, 0, 0}},
        {{kGfxPadEast}, {0, 0, 0}, {0, 0, kControlEscape}},
        {{kGfxPadWest, kGfxPadNorth, kGfxPadLeftShoulder}, {0, 0, 0}, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        devices->joystick = GfxJoystickState();
        devices->joystick.mapped = true;
        menu();
        menu(); // what the last case released is up now
        for (int control : c.held)
            devices->setPadControl(control, true);
        manager.clearStates();
        game();
        const ControlState* s = manager.state(0);
        EXPECT_EQ(std::vector<int>({s->horizontal, s->vertical, s->buttons}),
                  std::vector<int>({c.game.horizontal, c.game.vertical, c.game.buttons}))
            << "game " << c.held[0];
        EXPECT_EQ(manager.state(1)->buttons | manager.state(1)->horizontal, 0);
        const ControlState m = menu();
        EXPECT_EQ(std::vector<int>({m.horizontal, m.vertical, m.buttons}),
                  std::vector<int>({c.menu.horizontal, c.menu.vertical, c.menu.buttons}))
            << "menu " << c.held[0];
    }
    // Keys still win in a menu: LEFT ARROW over the pad's right.
    devices->joystick = GfxJoystickState();
    devices->joystick.mapped = true;
    menu();
    menu();
    devices->joystick.dpad[3] = true;
    press(kScanLeft);
    EXPECT_EQ(menu().horizontal, -1);
    EXPECT_TRUE(manager.isPadPressed(kGfxPadRight));
    menu();
    EXPECT_TRUE(manager.isPadDown(kGfxPadRight));
    EXPECT_FALSE(manager.isPadPressed(kGfxPadRight));
    EXPECT_EQ(manager.anyJoystickButton(), 0);
    devices->joystick.buttons[4] = true;
    devices->joystick.buttons[8] = true;
    menu();
    EXPECT_EQ(manager.anyJoystickButton(), kGfxKeyJoystickFirst + 4);
}

TEST_F(InputManagerTest, APadPulledOutIsReportedOnceToTheGameAndForgottenByMenus) {
    auto* devices = platform.inputDevices();
    devices->plugPad();
    platform.pushEvent(PlatformEvent::DeviceAdded);
    game();
    EXPECT_FALSE(manager.takePadLoss());
    devices->joystickAttached = false;
    game();
    EXPECT_TRUE(manager.takePadLoss());
    EXPECT_FALSE(manager.takePadLoss());
    devices->plugPad();
    platform.pushEvent(PlatformEvent::DeviceAdded);
    game();
    devices->joystickAttached = false;
    menu();
    game();
    EXPECT_FALSE(manager.takePadLoss());
}

// A mode change opens the device anew: nothing latched or pulled out before
// reaches the new one.
TEST_F(InputManagerTest, AReopenedDeviceForgetsEarlierStatesAndPadLosses) {
    platform.inputDevices()->plugPad();
    platform.pushEvent(PlatformEvent::DeviceAdded);
    game();
    platform.inputDevices()->joystickAttached = false;
    press(kScanRightCtrl);
    game();
    ASSERT_TRUE(manager.takePadLoss());
    ASSERT_EQ(manager.state(0)->buttons, kControlFire);
    manager.shutdown();
    ASSERT_TRUE(manager.init(&platform));
    EXPECT_EQ(manager.state(0)->buttons, 0);
    game();
    EXPECT_FALSE(manager.takePadLoss());
}
