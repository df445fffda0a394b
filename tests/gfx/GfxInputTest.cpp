// The input layer on scripted events: key events carry PC scan codes, the
// mouse and joystick are what each scenario makes of them; and the pad
// mapping file the player may add.
#include "lib/Log.h"
#include "tests/support/Golden.h"
#include "tests/support/InputScript.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

void cursorAt100x50(HeadlessInputDevices& d) {
    d.cursorX = 100;
    d.cursorY = 50;
}

} // namespace

TEST(GfxInputTest, ScenariosShowAsTheStoredTranscript) {
    const std::pair<const char*, const char*> scenarios[] = {
        {"a held key goes through its four states", "t5000 +cb . . . -cb . ."},
        {"a tap between two updates is pressed once", "+1e -1e . . ."},
        {"let go and pressed again between two updates: the release shows, then the press",
         "+1e . . -1e +1e . . ."},
        {"the same for a mouse button; a second press or a lone release is no press",
         "+m1 -m1 . . . -m1 . +m1 . +m1 ."},
        {"codes outside the scan codes are no key; an unmapped key is in the buffer only",
         "+1e +12c +-4 +56 ."},
        {"the first key that went down is the new key; a tap is found too",
         ". new +1c +1e . new . keep new +10 -10 . new +ff . new +fe . new"},
        {"the typed text wins over the layout; text outside Latin-1 types nothing",
         "+1e +1c +3b . shift . shift -1e -1c -3b +03 text\xC3\xA9 . -03 +03 text\xE2\x82\xAC . . "
         "-03 +03 . . +01 textq . . +02 textab . ."},
        {"the mouse moves with acceleration; movements between updates add up first",
         "m2,0 . m3,0 . m6,0 . m7,0 . m-3,0 . m0,0 . m0,2 m0,1 ."},
        {"buttons 1 to 3 are keys, with the place pressed; the wheel counts notches",
         "m5,1 +m3 +m2 +m4 . w2 . w-1 . ."},
        {"cleared states come back from the device", "+1e w1 . clear ."},
        {"keys and buttons held across a focus loss come back up",
         "+1e +m1 . off on . . -1e -m1 ."},
        {"a joystick plugged in while running is picked up", "j1000,-250 b0 b9 plug ."},
        // A pad with a known layout: the left stick's dead zone and hysteresis,
        // its controls, losing it, and the cursor it hides.
        {"the stick at rest and drifting inside the dead zone",
         "pad s0,0 . s9000,-4000 . s-16383,0 . s0,16383 . s-11000,11000 ."},
        {"pushed right and left, each held down to the release threshold",
         "pad s16384,0 . s9830,0 . s0,0 . s-32768,0 . s-9830,0 . s0,0 ."},
        {"pushed up and down the same way",
         "pad s0,-16384 . s0,-9830 . s0,0 . s0,32767 . s0,9830 ."},
        {"wobbling at the press threshold, then at the release threshold",
         "pad s16300,0 . s16400,0 . s16300,0 . s9830,0 . s9829,0 . s9900,0 . s16383,0 ."},
        {"near the diagonal the held direction stays up to 5/4",
         "pad s20000,19000 . s20000,21000 . s20000,25000 . s20000,25001 . s20000,24000 . "
         "s25001,20000 ."},
        {"from rest on the exact diagonal the horizontal wins",
         "pad s0,0 . s-20000,-20000 . s-19000,-20000 ."},
        {"turning away past the release falls back to rest or the other axis",
         "pad s-30000,0 . s-9000,3000 . s-30000,0 . s-9000,17000 ."},
        {"buttons and the direction pad are pad controls beside the joystick keys; the "
         "direction pad and the stick together are one direction",
         "pad b1 d3 . s30000,0 . d3 . s0,0 . clear"},
        {"without a layout the buttons are joystick keys and nothing more",
         "pad unmapped b0 d0 s0,-30000 ."},
        {"the pad in use hides the cursor; the loop cannot show it, the mouse moved does",
         "pad b7 . cursor+ . m0,0 . m0,1 . cursor- b7 b2 . m-3,1 ."},
        {"another pad pulled out changes nothing; ours pulled out counts once, reported or "
         "found when reading",
         "pad b2 . removed . unplug . . pad . gone ."},
    };
    std::string transcript;
    for (const auto& [what, script] : scenarios)
        transcript += std::string(what) + "\n" + InputScript(cursorAt100x50).run(script);

    // Axes add up into a position within the limits and never give keys;
    // pulled out, the buttons come up and the joystick is gone.
    InputScript s(cursorAt100x50);
    transcript += "limits and sensitivity\n" + s.run("j1000,-250 b0 plug .");
    GfxInputLimits limits;
    limits.left = -1500;
    limits.right = 1500;
    s.input.SetJoystickLimits(limits);
    s.input.SetJoystickSensitivity(0.5f);
    transcript += s.run(". unplug . .");
    s.input.SetMouseSensitivity(0.5f);
    limits = {0, 0, 640, 480};
    s.input.SetMouseLimits(limits);
    transcript += s.run("m2000,-2000 .");
    // Far beyond what int holds: saturated, never overflowed.
    s.input.SetMouseSensitivity(1e30f);
    s.input.SetMouseLimits(GfxInputLimits());
    transcript += s.run("m100,0 . m100,0 .");

    InputScript absent([](HeadlessInputDevices& d) { d.mousePresent = false; });
    transcript += "no mouse, no joystick\n" + absent.run("+m1 m10,0 .");
    checkGoldenText(LURVANE_GOLDEN_DIR "/input.txt", transcript);
}

TEST(GfxInputTest, CodesOutsideTheTablesReadAsNothing) {
    InputScript s;
    s.run("+1e .");
    char buffer[8] = "junk";
    // Each answer as a digit, so a failure shows which one.
    auto digits = [](auto... answers) { return (std::to_string(answers != 0) + ...); };
    EXPECT_EQ(digits(s.input.GetKeyState(270), s.input.GetKeyState(-1), s.input.GetKeyState(65535),
                     s.input.GetRawKey(256), s.input.GetRawKey(-1), s.input.GetPressTime(-7),
                     s.input.ScanCodeToChar(-1), s.input.ScanCodeToChar(999),
                     s.input.GetPressPosition(-1).x, s.input.GetKeyName(270, buffer, 8) + 1,
                     s.input.GetKeyName(-3, buffer, 8) + 1,
                     s.input.GetKeyName(0x100, nullptr, 8) + 1,
                     s.input.GetKeyName(0x100, buffer, 0) + 1,
                     s.input.GetPadState(kGfxPadControlCount), s.input.GetPadState(-1)),
              std::string(15, '0'));
    EXPECT_STREQ(buffer, "");
    // A control character typed is no character; a space is one.
    s.run("-1e +1e text\x7F . .");
    EXPECT_EQ(s.input.ScanCodeToChar(0x1E), 0);
    PlatformEvent space;
    space.type = PlatformEvent::TextInput;
    std::strcpy(space.text, " ");
    s.run("-1e +1e");
    s.platform.pushEvent(space);
    s.run(". .");
    EXPECT_EQ(s.input.ScanCodeToChar(0x1E), ' ');

    // Creating without a platform or without devices fails cleanly.
    GfxInput other;
    EXPECT_EQ(other.Create(nullptr, new HeadlessInputDevices), kGfxInputNoPlatform);
    EXPECT_EQ(other.Create(&s.platform, nullptr), kGfxInputNoDevices);
    EXPECT_EQ(other.Update(), kGfxInputOk);
}

// Every key's name, and the key code of every scan code, against the
// stored table.
TEST(GfxInputTest, KeyNamesAndTheScanCodeMapAreThoseOfTheTable) {
    InputScript s;
    std::string table;
    char name[kGfxKeyNameSize];
    for (int code = 0; code < kGfxKeyCodeCount; ++code) {
        std::memset(name, 'x', sizeof name);
        EXPECT_EQ(s.input.GetKeyName(code, name, sizeof name), 1);
        table += "key " + std::to_string(code) + ": " + name + "\n";
    }
    for (int scanCode = -1; scanCode <= 256; ++scanCode)
        table += "scan " + std::to_string(scanCode) + ": " +
                 std::to_string(GfxInput::KeyCodeOfScanCode(scanCode)) + "\n";
    checkGoldenText(LURVANE_GOLDEN_DIR "/keys.txt", table);

    // A short buffer gets a cut, terminated name.
    std::memset(name, 'x', sizeof name);
    EXPECT_EQ(s.input.GetKeyName(kGfxKeyLeftArrow, name, 4), 1);
    EXPECT_STREQ(name, "LEF");
    EXPECT_EQ(name[4], 'x');
    EXPECT_EQ(s.input.GetKeyName(kGfxKeyLeftArrow, name, 1), 1);
    EXPECT_STREQ(name, "");
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
