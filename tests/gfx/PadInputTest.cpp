// A pad with a known layout on scripted devices: its controls, the left
// stick's dead zone and hysteresis, losing it, the cursor it hides, and the
// mapping file the player may add.
#include "lib/Log.h"
#include "tests/support/ScriptedInput.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class PadInputTest : public ::testing::Test, protected ScriptedInput {
protected:
    PadInputTest() : ScriptedInput([](HeadlessInputDevices& d) { d.plugPad(); }) {}
};

} // namespace

TEST_F(PadInputTest, TheStickSteersOnlyPastItsDeadZoneAndHoldsNearTheDiagonal) {
    // Stick positions, one update each, and the direction held after each:
    // Up, Down, Left, Right or none (.).
    const struct {
        const char* what;
        std::vector<int> xy; // stick x and y for each update
        const char* expected;
    } cases[] = {
        {"resting, drifting inside the dead zone",
         {0, 0, 9000, -4000, -16383, 0, 0, 16383, -11000, 11000},
         "....."},
        {"pushed right and left, each held down to the release threshold",
         {16384, 0, 9830, 0, 0, 0, -32768, 0, -9830, 0, 0, 0},
         "RR.LL."},
        {"pushed up and down the same way",
         {0, -16384, 0, -9830, 0, 0, 0, 32767, 0, 9830},
         "UU.DD"},
        {"wobbling at the press threshold, then at the release threshold",
         {16300, 0, 16400, 0, 16300, 0, 9830, 0, 9829, 0, 9900, 0, 16383, 0},
         ".RRR..."},
        {"near the diagonal: the held direction stays up to 5/4",
         {20000, 19000, 20000, 21000, 20000, 25000, 20000, 25001, 20000, 24000, 25001, 20000},
         "RRRDDR"},
        {"from rest on the exact diagonal the horizontal wins",
         {0, 0, -20000, -20000, -19000, -20000},
         ".LL"},
        {"turning away past the release falls back to rest or the other axis",
         {-30000, 0, -9000, 3000, -30000, 0, -9000, 17000},
         "L.LD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string seen;
        for (size_t i = 0; i < c.xy.size(); i += 2) {
            devices->joystick.stickX = c.xy[i];
            devices->joystick.stickY = c.xy[i + 1];
            update();
            char direction = '.';
            for (int d = kGfxPadUp; d <= kGfxPadRight; ++d)
                if (input.GetPadState(d) >= kGfxKeyPressed)
                    direction = "UDLR"[d - kGfxPadUp];
            seen += direction;
        }
        EXPECT_EQ(seen, c.expected);
    }
}

TEST_F(PadInputTest, ButtonsAndDirectionPadGivePadStatesBesideTheJoystickKeys) {
    devices->joystick.buttons[kGfxPadEast] = true;
    devices->joystick.dpad[3] = true; // right
    update();
    EXPECT_EQ(input.GetPadState(kGfxPadEast), kGfxKeyPressed);
    EXPECT_EQ(input.GetPadState(kGfxPadRight), kGfxKeyPressed);
    EXPECT_EQ(input.GetPadState(kGfxPadSouth), kGfxKeyUp);
    EXPECT_EQ(input.GetKeyState(kGfxKeyJoystickFirst + 1), kGfxKeyPressed);
    EXPECT_EQ(input.GetPadState(kGfxPadControlCount), 0);
    EXPECT_EQ(input.GetPadState(-1), 0);
    // The direction pad and the stick together are one direction held.
    devices->joystick.stickX = 30000;
    update();
    devices->joystick.dpad[3] = false;
    update();
    EXPECT_EQ(input.GetPadState(kGfxPadRight), kGfxKeyHeld);
    devices->joystick.stickX = 0;
    update();
    EXPECT_EQ(input.GetPadState(kGfxPadRight), kGfxKeyReleased);
    input.ClearStates();
    EXPECT_EQ(input.GetPadState(kGfxPadEast), kGfxKeyUp);

    // Without a mapping the same buttons are joystick keys and nothing more.
    devices->joystick.mapped = false;
    devices->joystick.buttons[kGfxPadSouth] = true;
    devices->joystick.dpad[0] = true;
    devices->joystick.stickY = -30000;
    update();
    EXPECT_EQ(input.GetKeyState(kGfxKeyJoystickFirst), kGfxKeyPressed);
    for (int control = 0; control < kGfxPadControlCount; ++control)
        EXPECT_EQ(input.GetPadState(control), kGfxKeyUp) << control;
}

TEST_F(PadInputTest, LosingThePadInUseIsCountedOnceAndTheCursorFollowsTheDevice) {
    EXPECT_TRUE(platform.cursorVisible());
    devices->joystick.buttons[kGfxPadStart] = true;
    update();
    EXPECT_TRUE(input.IsPadInUse());
    EXPECT_FALSE(platform.cursorVisible());
    // A loop that shows the cursor does not bring it back while the pad is
    // in use; the mouse does.
    platform.showCursor(true);
    EXPECT_FALSE(platform.cursorVisible());
    mouse(PlatformEvent::MouseMotion, 0); // no movement
    update();
    EXPECT_FALSE(platform.cursorVisible());
    mouse(PlatformEvent::MouseMotion, 0, 0, 1);
    update();
    EXPECT_FALSE(input.IsPadInUse());
    EXPECT_TRUE(platform.cursorVisible());
    platform.showCursor(false); // a loop that hides it keeps it hidden
    devices->joystick.buttons[kGfxPadStart] = false;
    devices->joystick.buttons[kGfxPadWest] = true;
    update();
    mouse(PlatformEvent::MouseMotion, 0, -3, 1);
    update();
    EXPECT_FALSE(platform.cursorVisible());

    // Another pad pulled out changes nothing; ours pulled out counts once,
    // reported by the device or found when reading.
    platform.pushEvent(PlatformEvent::DeviceRemoved);
    update();
    EXPECT_EQ(input.GetJoystickLosses(), 0u);
    devices->joystickAttached = false;
    platform.pushEvent(PlatformEvent::DeviceRemoved);
    update();
    EXPECT_EQ(input.GetJoystickLosses(), 1u);
    EXPECT_EQ(input.GetPadState(kGfxPadWest), kGfxKeyReleased);
    update();
    EXPECT_EQ(input.GetJoystickLosses(), 1u);
    devices->plugPad();
    platform.pushEvent(PlatformEvent::DeviceAdded);
    update();
    EXPECT_TRUE(input.HasJoystick());
    devices->joystickAttached = false;
    update();
    EXPECT_EQ(input.GetJoystickLosses(), 2u);
}

TEST(PadMappingTest, LinesOfTheMappingFormatAreToldFromMalformedOnes) {
    const std::string guid = "030000005e0400008e02000014010000";
    const struct {
        std::string line;
        bool wellFormed;
    } cases[] = {
        {guid + ",Pad,a:b0,b:b1,dpup:h0.1,leftx:a0,-lefty:a1~,+righty:-a4,platform:Linux,", true},
        {"xinput,XInput Controller,a:b0,back:b6,", true},
        {guid + ",Pad,hint:!SDL_GAMECONTROLLER_USE_BUTTON_LABELS:=1,start:b7", true},
        {"030000005E0400008E02000014010000,Upper Case,a:b0", true},
        {"03000000,Pad,a:b0,", false},                        // short GUID
        {guid + "0,Pad,a:b0,", false},                        // long GUID
        {"030000005e0400008e02000014010g00,Pad,a:b0", false}, // not hex
        // Each fault comes first, before a good binding.
        {guid + ",,a:b0", false},
        {guid + ",Pad,", false},
        {guid + ",Pad,platform:Linux", false}, // nothing bound
        {guid + ",Pad,a:b0,,b:b1", false},     // an empty entry inside
        {guid + ",Pad,platform:,a:b0", false},
        {guid + ",Pad,a,b:b1", false},
        {guid + ",Pad,a:,b:b1", false},
        {guid + ",Pad,jump:b0,b:b1", false},
        {guid + ",Pad,a:k0,b:b1", false},
        {guid + ",Pad,a:b,b:b1", false},
        {guid + ",Pad,a:bx,b:b1", false},
        {guid + ",Pad,dpup:h0,b:b1", false},
        {guid + ",Pad,dpup:h.1,b:b1", false},
        {guid + ",Pad,dpup:h1.,b:b1", false},
        {guid + ",Pad,leftx:a~,b:b1", false},
        {guid + ",Pad,a:+,b:b1", false},
        {guid + ",Pad,+jump:a0,b:b1", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GfxInput::IsPadMappingLine(c.line.c_str()), c.wellFormed) << c.line;
    EXPECT_FALSE(GfxInput::IsPadMappingLine(nullptr));
}

TEST(PadMappingTest, TheFileAddsItsGoodLinesAndReportsEachBadOneOnOneLine) {
    TempDir dir;
    ScopedWorkingDir cwd(dir.path());
    errorLog.open("errorLog.txt");
    const std::string good = "030000005e0400008e02000014010000,Pad,a:b0,b:b1,";
    dir.write("db.txt", "# comment\r\n\r\n" + good + "\r\nnot a mapping\n   \n" +
                            "030000005e0400008e02000014010000,refuse,a:b0\n" + good);
    HeadlessPlatform platform;
    GfxInput input;
    ASSERT_EQ(input.Create(&platform, platform.createInputDevices(), "db.txt"), kGfxInputOk);
    EXPECT_EQ(platform.inputDevices()->padMappings, good + "\n" + good + "\n");
    EXPECT_EQ(input.LoadPadMappings("missing.txt"), -1);
    EXPECT_EQ(input.LoadPadMappings(nullptr), -1);
    errorLog.close();
    EXPECT_EQ(dir.read("errorLog.txt"), "db.txt, line 4: not a pad mapping, skipped\n"
                                        "db.txt, line 6: not a pad mapping, skipped\n");
    GfxInput unopened;
    EXPECT_EQ(unopened.LoadPadMappings("db.txt"), -1);
}
