// A pad with a known layout on scripted devices: its controls, the left
// stick's dead zone and hysteresis, losing it, the cursor it hides, and the
// mapping file the player may add.
#include "lib/Log.h"
#include "tests/support/Golden.h"
#include "tests/support/InputScript.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

TEST(PadInputTest, ScenariosShowAsTheStoredTranscript) {
    const std::pair<const char*, const char*> scenarios[] = {
        {"the stick at rest and drifting inside the dead zone",
         "s0,0 . s9000,-4000 . s-16383,0 . s0,16383 . s-11000,11000 ."},
        {"pushed right and left, each held down to the release threshold",
         "s16384,0 . s9830,0 . s0,0 . s-32768,0 . s-9830,0 . s0,0 ."},
        {"pushed up and down the same way", "s0,-16384 . s0,-9830 . s0,0 . s0,32767 . s0,9830 ."},
        {"wobbling at the press threshold, then at the release threshold",
         "s16300,0 . s16400,0 . s16300,0 . s9830,0 . s9829,0 . s9900,0 . s16383,0 ."},
        {"near the diagonal the held direction stays up to 5/4",
         "s20000,19000 . s20000,21000 . s20000,25000 . s20000,25001 . s20000,24000 . "
         "s25001,20000 ."},
        {"from rest on the exact diagonal the horizontal wins",
         "s0,0 . s-20000,-20000 . s-19000,-20000 ."},
        {"turning away past the release falls back to rest or the other axis",
         "s-30000,0 . s-9000,3000 . s-30000,0 . s-9000,17000 ."},
        {"buttons and the direction pad are pad controls beside the joystick keys; the "
         "direction pad and the stick together are one direction",
         "b1 d3 . s30000,0 . d3 . s0,0 . clear"},
        {"without a layout the buttons are joystick keys and nothing more",
         "unmapped b0 d0 s0,-30000 ."},
        {"the pad in use hides the cursor; the loop cannot show it, the mouse moved does",
         "b7 . cursor+ . m0,0 . m0,1 . cursor- b7 b2 . m-3,1 ."},
        {"another pad pulled out changes nothing; ours pulled out counts once, reported or "
         "found when reading",
         "b2 . removed . unplug . . pad . gone ."},
    };
    std::string transcript;
    for (const auto& [what, script] : scenarios)
        transcript += std::string(what) + "\n" +
                      InputScript([](HeadlessInputDevices& d) { d.plugPad(); }).run(script);
    checkGoldenText(LURVANE_GOLDEN_DIR "/pad.txt", transcript);
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
