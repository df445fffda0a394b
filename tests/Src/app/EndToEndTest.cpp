// The whole program as the player meets it: the entry routine starts on the
// dummy platform in a scratch directory holding the built game's data and a
// small zone of our own, keys are pressed frame by frame through title
// screen, zone and skill choice, two levels and the high score entry, and
// afterwards the stored files are read back byte by byte on their own
// terms, so that a reader fault cannot hide a writer fault.
#include "Src/app/GameSystems.h"
#include "Src/core/TextStyles.h"
#include "Src/frontend/TitleBackground.h"
#include "Src/frontend/TitleScreen.h"
#include "Src/records/HighScorePanel.h"
#include "gfx/HeadlessPlatform.h"
#include "lib/ByteOrder.h"
#include "lib/DateTime.h"
#include "lib/Log.h"
#include "sound/RecordingSoundBackEnd.h"
#include "tests/support/ByteBuilder.h"
#include "tests/support/Golden.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/PadScript.h"
#include "tests/support/ScanCodes.h"
#include "tests/support/TempDir.h"
#include "tests/support/ZoneFiles.h"
#include "widgets/TextBox.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

// "Zoë K" as the game stores it: one byte a character.
const std::string kTypedName = "Zo\xEB K";

// The zone played: the snake's head is eight steps (36 frames) from the
// only food, so each level ends before its clock has taken a second.
constexpr int kHardTime = 15;
// Per level 1 for the food, 3 for each of the three segments and 5 for each
// second left; the zone adds 50 for the one snake of a Hard game.
constexpr int32_t kScore = 2 * (1 + 3 * 3 + 5 * kHardTime) + 50;

constexpr int kListBytes = 12 + 10 * 88;
constexpr int kOptionsAt = 12;
constexpr int kNameAt = kOptionsAt + 60;

// The title screen's information panel at one moment: which panel shows
// and, when it is the high score list, its lines ("rank|name|score" with
// a "*" for a line highlighted in all four columns).
std::string lookAtPanel() {
    std::string seen = "panel " + std::to_string(infoPanel());
    HighScorePanel* panel = titleHighScorePanel();
    if (!panel)
        return seen;
    for (int i = 0; i < panel->column(0).lineCount(); ++i) {
        std::string line;
        bool lit = true;
        for (int c = 0; c < HighScorePanel::kColumns; ++c) {
            lit = lit && panel->column(c).line(i).highlighted;
            if (c < 3)
                line += std::string(c ? "|" : "") + panel->column(c).line(i).text.c_str();
        }
        seen += "\n  " + line + (lit ? "*" : "");
    }
    return seen;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        // The built game's pictures, sounds and texts; zones of our own.
        if (!copyGameData(dir, {"Gfx", "Sound", "Music", "Text", "sound.txt"}))
            GTEST_SKIP() << "no game data built";
        // Ordered by skill: "Alpha" comes first, "Test" second.
        addZone("Alpha", 1, 1);
        addZone("Test", 2, 2);
        cwd = std::make_unique<ScopedWorkingDir>(dir.path());
    }
    void TearDown() override {
        cwd.reset();
        gameLog.close();
        errorLog.close();
    }

    void addZone(const std::string& name, int skill, int levels) {
        const LevelSpec level = {{"#############", "#BB>.......o#", "#############"},
                                 "Time=60,50," + std::to_string(kHardTime) +
                                     "\nStartSpeed=4,4,4\nTopSpeed=2,2,2\nIncSpeed=5,5,5\n"};
        writeZone(dir, name, std::vector<LevelSpec>(static_cast<size_t>(levels), level),
                  "Skill=" + std::to_string(skill) + "\n");
    }

    // One run of the program with the keys scheduled on the platform.
    void run(HeadlessPlatform& platform, int lookAt, PadScript* pad = nullptr) {
        platform.afterPresent = [&, pad](int frame) {
            if (pad)
                pad->apply(platform, frame);
            if (frame == 3)
                titleFirst = lookAtPanel();
            if (frame == lookAt)
                titleAfterGame = lookAtPanel();
        };
        // Safety net: whatever goes wrong, the loops end.
        platform.closeAtFrame(2000);
        RecordingSoundBackEnd sound;
        const auto start = std::chrono::steady_clock::now();
        runStart = DateTime::now().ticks();
        EXPECT_EQ(runLurvane(platform, &sound), 0);
        runEnd = DateTime::now().ticks();
        flowPlayed = milestones(sound.takeCalls().c_str());
        wallTicks = std::chrono::duration_cast<std::chrono::nanoseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count() /
                    100;
        gameLog.close();
        errorLog.close();
        EXPECT_LT(platform.framesPresented(), 2000) << "the script did not reach its end";
        EXPECT_TRUE(platform.messageBoxes().empty());
        EXPECT_EQ(dir.read("errorLog.txt"), "");
        const std::string log = dir.read("log.txt");
        EXPECT_EQ(log.find("Could not"), std::string::npos) << log;
        EXPECT_EQ(log.find("!GetMessage"), std::string::npos) << log;
    }

    // Checks a stored time stamp: status valid, zero alignment, ticks taken
    // during the given run. Returns the ticks.
    int64_t checkStamp(const std::string& bytes, size_t at, int64_t from, int64_t to,
                       const char* what) {
        const auto* p = reinterpret_cast<const uint8_t*>(bytes.data()) + at;
        EXPECT_EQ(readLE32(p), 0u) << what << " status";
        EXPECT_EQ(readLE32(p + 4), 0u) << what << " alignment";
        const auto ticks = static_cast<int64_t>(readLE64(p + 8));
        EXPECT_GE(ticks, from) << what;
        EXPECT_LE(ticks, to) << what;
        return ticks;
    }

    // The songs and samples that mark the screens of a run, in order.
    static std::string milestones(const std::string& calls) {
        std::string out;
        std::istringstream in(calls);
        for (std::string line; std::getline(in, line);) {
            const size_t name = line.rfind('\\') + 1;
            const std::string file = line.substr(name, line.find(' ', name) - name);
            for (const char* mark :
                 {"title.mod", "ingame.mod", "highscore.mod", "choice.wav", "levelstart.wav",
                  "levelcompleted.wav", "zonecompleted.wav", "highscore.wav"})
                if (file == mark && (line.rfind("playS", 0) == 0))
                    out += file + " ";
        }
        return out;
    }

    TempDir dir;
    std::unique_ptr<ScopedWorkingDir> cwd;
    std::string flowPlayed;
    std::string titleFirst, titleAfterGame;
    int64_t runStart = 0, runEnd = 0, wallTicks = 0;
};

// An options block as stored: the two music switches given, sound effects
// on, windowed, the default keys but for player 1's fire key.
std::string storedOptions(bool titleMusic, bool inGameMusic, int32_t fireKey) {
    ByteBuilder options;
    options.u8(titleMusic ? 1 : 0).u8(inGameMusic ? 1 : 0).u8(1).u8(0);
    for (int32_t key : {134, 135, 136, 137, fireKey, 112, 27})
        options.i32(key);
    for (int32_t key : {97, 100, 119, 115, 130, 0, 0})
        options.i32(key);
    return options.data;
}

} // namespace

TEST_F(EndToEnd, TwoRunsPlayAZoneEnterTheScoreAndKeepEverythingOnDisk) {
    // First run: choose the second zone and Hard, play both levels, type a
    // name, and quit from the title screen. Title music, two levels (no in-game music), the entry's
    // song and sound, and the title screen again; the first title screen starts with an empty
    // panel, back on it after the game the high score list shows at once, the new entry
    // highlighted.
    std::string transcript;
    {
        HeadlessPlatform platform;
        // The zone menu, "Test", the skill entry, Normal, Hard, "Start"; each
        // level is won about 40 frames after it starts; fire continues.
        scriptKeys(platform, "5:down 15:enter 25:down 35:enter 45:down 55:enter 65:enter 75:up "
                             "85:up 95:enter 160:fire 225:fire 240:z=Z 245:o=o 250:e=\xC3\xAB "
                             "255:space=_ 260:k=K 270:enter 300:up 310:enter");
        ASSERT_NO_FATAL_FAILURE(run(platform, 290));
    }
    transcript += "first run: " + flowPlayed + "\nfirst frame: " + titleFirst +
                  "\nafter the game: " + titleAfterGame + "\n";

    const int64_t firstStart = runStart, firstEnd = runEnd;
    const std::string scores1 = dir.read("Data/highscores.dat");
    const std::string settings1 = dir.read("Data/settings.dat");

    // The title screen made a table for every zone and skill it showed; the
    // played one (the last) holds the new entry, as the second run shows.
    ASSERT_EQ(scores1.size(), 4u + 4u * kListBytes);
    EXPECT_EQ(readLE32(reinterpret_cast<const uint8_t*>(scores1.data())), 4u);

    // Settings: version, skill Hard, zone 1, options, the name, statistics,
    // and the flags of the two zones (the scan on coming back from the game
    // clears them).
    ASSERT_EQ(settings1.size(), 12u + 60u + 1u + kTypedName.size() + 72u + 4u + 2u);
    EXPECT_EQ(settings1.substr(0, 12), ByteBuilder().i32(2).i32(2).i32(1).data);
    EXPECT_EQ(settings1.substr(kOptionsAt, 60), storedOptions(true, false, 131));
    EXPECT_EQ(settings1.substr(kNameAt, 1 + kTypedName.size()),
              ByteBuilder().u8(static_cast<uint8_t>(kTypedName.size())).raw(kTypedName).data);
    const size_t stats = kNameAt + 1 + kTypedName.size();
    EXPECT_EQ(settings1.substr(stats, 16),
              ByteBuilder().i32(1).i32(2).i32(1).zeros(4).data); // games, levels, zones
    checkStamp(settings1, stats + 16, firstStart, firstEnd, "first start");
    const int64_t runTime = checkStamp(settings1, stats + 32, 1, wallTicks, "total run time");
    EXPECT_EQ(checkStamp(settings1, stats + 48, 1, wallTicks, "longest game"), runTime);
    EXPECT_EQ(settings1.substr(stats + 64, 8), ByteBuilder().i32(kScore).i32(kScore).data);
    EXPECT_EQ(settings1.substr(stats + 72), ByteBuilder().i32(2).u8(0).u8(0).data);

    // The player's options as the options screen would store them: title
    // music off, in-game music on, X as fire.
    const std::string options = storedOptions(false, true, 'x');
    dir.write("Data/settings.dat",
              settings1.substr(0, kOptionsAt) + options + settings1.substr(kOptionsAt + 60));

    // Second run: the zone and skill are remembered and the game starts at
    // once; escape and "Resume Game" in the first level, which X (the fire
    // key now) continues; Space continues the second, and being held as the
    // name box opens it must not type; the offered name is confirmed as it
    // stands.
    {
        HeadlessPlatform platform;
        scriptKeys(platform, "5:enter 15:esc 30:enter 90:x 150:space 170:enter 200:up 210:enter");
        ASSERT_NO_FATAL_FAILURE(run(platform, 190));
    }
    // Menu sounds instead of title music, in-game music in both levels, the
    // escape menu opened and left; the same score again goes above the first.
    transcript += "second run: " + flowPlayed + "\nafter the game: " + titleAfterGame + "\n";
    checkGoldenText(LURVANE_TEST_GOLDEN_DIR "/end_to_end.txt", transcript);

    const std::string scores2 = dir.read("Data/highscores.dat");
    const std::string settings2 = dir.read("Data/settings.dat");

    // The tables shown but not played are as they were; the same score
    // again goes above the first (the panel shows the table read back).
    ASSERT_EQ(scores2.size(), scores1.size());
    EXPECT_EQ(scores2.substr(0, 4 + 3 * kListBytes), scores1.substr(0, 4 + 3 * kListBytes));
    const size_t newer = 4 + 3 * kListBytes + 12 + 5 * 88 + 64;
    const size_t older = newer + 88;
    checkStamp(scores2, newer, runStart, runEnd, "second entry");
    EXPECT_EQ(scores2.substr(older, 16), scores1.substr(newer, 16));

    // Everything before the statistics is as the run found it; the
    // statistics count both games from the first start on.
    ASSERT_EQ(settings2.size(), settings1.size());
    EXPECT_EQ(settings2.substr(0, kOptionsAt), settings1.substr(0, kOptionsAt));
    EXPECT_EQ(settings2.substr(kOptionsAt, 60), options);
    EXPECT_EQ(settings2.substr(kNameAt, stats - kNameAt),
              settings1.substr(kNameAt, stats - kNameAt));
    EXPECT_EQ(settings2.substr(stats, 16), ByteBuilder().i32(2).i32(4).i32(2).zeros(4).data);
    EXPECT_EQ(settings2.substr(stats + 16, 16), settings1.substr(stats + 16, 16));
    const int64_t total =
        checkStamp(settings2, stats + 32, runTime + 1, runTime + wallTicks, "total run time");
    const int64_t longest = checkStamp(settings2, stats + 48, 1, total, "longest game");
    EXPECT_GE(longest, runTime);
    EXPECT_EQ(settings2.substr(stats + 64, 8), ByteBuilder().i32(kScore).i32(2 * kScore).data);
    EXPECT_EQ(settings2.substr(stats + 72), settings1.substr(stats + 72));
}

TEST_F(EndToEnd, APadAlonePlaysFromTheTitleThroughTheEscapeMenuToTheNameEntryAndBack) {
    HeadlessPlatform platform;
    PadScript pad;
    pad.plug(3, platform, true);
    pad.tap(10, kGfxPadSouth);     // "Start": Alpha, one level
    pad.tap(20, kGfxPadStart);     // the escape menu...
    pad.tap(30, kGfxPadSouth);     // ..."Resume Game"
    pad.plug(40, platform, false); // pulled out: the escape menu again
    pad.plug(45, platform, true);
    pad.tap(50, kGfxPadSouth);
    pad.tap(140, kGfxPadSouth); // "Congratulations! Zone completed!" goes on
    // The name: a new character stepped up to Z, then one stepped down
    // from the end of the list to e with diaeresis.
    pad.hold(150, kGfxPadUp, true);
    pad.hold(261, kGfxPadUp, false);
    pad.tap(265, kGfxPadRight);
    pad.hold(270, kGfxPadDown, true);
    pad.hold(358, kGfxPadDown, false);
    pad.tap(362, kGfxPadSouth);
    pad.tap(380, kGfxPadUp); // round to "Quit"
    pad.tap(390, kGfxPadSouth);
    ASSERT_NO_FATAL_FAILURE(run(platform, 370, &pad));

    // The level, opened twice into the escape menu and resumed, the zone
    // completed, the entry's song and the title screen again.
    checkGoldenText(LURVANE_TEST_GOLDEN_DIR "/end_to_end_pad.txt",
                    flowPlayed + "\nafter the game: " + titleAfterGame + "\n");
    const std::string name = "Z\xEB";
    const std::string settings = dir.read("Data/settings.dat");
    EXPECT_EQ(settings.substr(kNameAt, 1 + name.size()),
              ByteBuilder().u8(static_cast<uint8_t>(name.size())).raw(name).data);
    // The entry in the stored table is the name as typed, zero-padded.
    std::string stored = name;
    stored.resize(64, '\0');
    const std::string scores = dir.read("Data/highscores.dat");
    EXPECT_NE(scores.find(stored), std::string::npos);
}
