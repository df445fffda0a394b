// The new high score entry: when it shows, what it says, the name typed with
// its preset, what goes into the table and the settings, its sounds, and a
// missing picture.
#include "Src/frontend/NewHighScore.h"

#include "lib/Random.h"
#include "tests/support/GoldenFrame.h"
#include "tests/support/PlayedGame.h"
#include "widgets/TextInput.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using namespace played;

namespace {

class NewHighScoreTest : public PlayedGame {
protected:
    void SetUp() override {
        PlayedGame::SetUp();
        if (IsSkipped())
            return;
        list = highScoreManager->getList(kSkillEasy, 0); // 400 down to 40
    }
    // The screen for the score, against the table of Easy in zone 0.
    void enter(int32_t score, bool cheats = false) {
        startFrame = frame();
        screenShown.runNewHighScore(score, list, 0, kSkillEasy, cheats);
    }
    std::string name(int i) const { return list->entries[i].name; }

    HighScoreList* list = nullptr;
    NewHighScore screenShown;
    int startFrame = 0;
};

} // namespace

TEST_F(NewHighScoreTest, AScoreBelowTheTableShowsNothingAndPlaysNothing) {
    recordSounds();
    options.titleMusic = options.soundEffects = true;
    pendingHighlight.zone = 4;
    limitFrames(50);
    enter(39);
    EXPECT_EQ(screenShown.rank(), 0);
    EXPECT_EQ(frame(), startFrame);
    EXPECT_EQ(soundsPlayed(), "");
    EXPECT_EQ(pendingHighlight.zone, -1);
    EXPECT_EQ(list->entries[9].score, 40);
}

TEST_F(NewHighScoreTest, TheTypedNameGoesAboveAnEqualScore) {
    lastPlayerName = "Zed";
    type(5, kScanA, "A");
    type(10, kScanB, "n");
    tap(15, kScanTab);            // nothing the font shows: ignored
    type(20, kScanA, "\xC3\xA9"); // e acute, one byte in the name
    type(25, kScanB, "\xD0\xB6"); // Cyrillic zhe does not fit in a byte
    tap(30, kScanEnter);
    limitFrames(200);
    enter(400);
    EXPECT_EQ(screenShown.rank(), 1);
    EXPECT_EQ(std::string(screenShown.messageLines().c_str()),
              "\nYou got a new high score!\nScore=400\nRank=1\n");
    EXPECT_EQ(app.loopResult, kLoopChoice);
    EXPECT_EQ(name(0), "An\xE9");
    EXPECT_EQ(list->entries[0].score, 400);
    EXPECT_TRUE(list->entries[0].byPlayer);
    EXPECT_EQ(name(1), "----------");
    EXPECT_EQ(list->entries[1].score, 400);
    EXPECT_EQ(list->entries[9].score, 80);
    EXPECT_EQ(std::string(lastPlayerName.c_str()), "An\xE9");
    EXPECT_EQ(std::make_tuple(pendingHighlight.zone, pendingHighlight.skill, pendingHighlight.rank),
              std::make_tuple(0, kSkillEasy, 0));
    EXPECT_LT(frame(), 40);
}

TEST_F(NewHighScoreTest, CheatsAreNamedAndNothingIsStored) {
    lastPlayerName = "Zed";
    type(5, kScanA, "q");
    tap(10, kScanEnter);
    limitFrames(200);
    enter(205, true);
    EXPECT_EQ(screenShown.rank(), 6);
    EXPECT_EQ(std::string(screenShown.messageLines().c_str()),
              "\nYou'd have a new high score!\n\nBut the cheat-keys were used. :)\n"
              "Score=205\nRank=6\n");
    EXPECT_EQ(app.loopResult, kLoopChoice);
    EXPECT_EQ(list->entries[5].score, 200);
    for (const HighScoreEntry& entry : list->entries)
        EXPECT_FALSE(entry.byPlayer);
    EXPECT_EQ(std::string(lastPlayerName.c_str()), "Zed");
    EXPECT_EQ(pendingHighlight.zone, -1);
}

TEST_F(NewHighScoreTest, ThePresetNameIsKeptReplacedOrCleared) {
    struct Case {
        const char* preset;
        std::vector<std::pair<int, const char*>> keys; // scan code, text
        const char* stored;
    };
    const std::vector<Case> cases = {
        {"Zed", {}, "Zed"},                                                 // enter at once
        {"Zed", {{kScanA, "x"}, {kScanB, "y"}}, "xy"},                      // first key replaces
        {"Zed", {{kScanBackspace, ""}, {kScanA, "k"}}, "k"},                // backspace clears
        {"Zed", {{kScanA, "k"}, {kScanBackspace, ""}, {kScanB, "m"}}, "m"}, // then deletes one
        {"", {{kScanA, "a"}}, "a"},
        {"A name much longer than twenty", {}, "A name much longer t"},
    };
    int f = 5;
    for (const Case& c : cases) {
        list->fillNew();
        lastPlayerName = c.preset;
        for (const auto& [scan, text] : c.keys) {
            type(f, scan, text);
            f += 5;
        }
        tap(f, kScanEnter);
        f += 5;
        enter(500);
        EXPECT_EQ(name(0), c.stored) << c.preset;
        EXPECT_EQ(std::string(lastPlayerName.c_str()), c.stored);
        EXPECT_LT(frame(), f);
    }
    // Enter on an empty name does nothing: the name box waits for a letter.
    list->fillNew();
    lastPlayerName = "Zed";
    type(f, kScanBackspace, "");
    tap(f + 5, kScanEnter);
    type(f + 10, kScanB, "b");
    tap(f + 15, kScanEnter);
    limitFrames(f + 100);
    enter(500);
    EXPECT_EQ(name(0), "b");
    EXPECT_GE(frame(), f + 15);
}

TEST_F(NewHighScoreTest, SoundsFollowTheirOptions) {
    const struct {
        bool titleMusic, soundEffects;
        const char* played;
    } cases[] = {{true, true, "playSample e15.wav;playSample e19.wav;"},
                 {true, false, "playSample e15.wav;"},
                 {false, true, "playSample e19.wav;"},
                 {false, false, ""}};
    recordSounds();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.played);
        options.titleMusic = c.titleMusic;
        options.soundEffects = c.soundEffects;
        tap(frame() + 3, kScanEnter);
        lastPlayerName = "Zed";
        enter(100);
        EXPECT_EQ(soundsPlayed(), c.played);
    }
}

TEST_F(NewHighScoreTest, PicturesAreStampedInPairsEveryTenFrames) {
    lastPlayerName = "Zed";
    SeedRandom(5);
    // A first screen, so that the second starts its count afresh.
    tap(12, kScanEnter);
    enter(100);
    tap(frame() + 25, kScanEnter);
    enter(100);
    // The frames before the one that saw the name confirmed; stamps on the
    // first two and then on every tenth pair.
    const int frames = frame() - startFrame;
    EXPECT_GE(frames, 25);
    int stamps = 0;
    for (int k = 1; k <= frames; ++k)
        stamps += (k % 10 == 1 || k % 10 == 2) ? 1 : 0;
    EXPECT_EQ(screenShown.stamps(), stamps);
}

TEST_F(NewHighScoreTest, AMissingPictureIsReportedOnceEachAndEndsTheProgram) {
    std::filesystem::remove(dir.file("Data/Gfx/GoodScore.bmp"));
    lastPlayerName = "Zed";
    tap(5, kScanEnter);
    enter(300);
    const std::string path = ".\\Data\\Gfx\\GoodScore.bmp";
    // Each report once, in this order, and nothing after them.
    const std::string log = dir.read("log.txt");
    const std::string reports =
        "Could not load file " + path + " into surface\nCould not load " + path + "\n";
    ASSERT_GE(log.size(), reports.size());
    EXPECT_EQ(log.substr(log.size() - reports.size()), reports);
    EXPECT_EQ(log.find("Could not load " + path), log.rfind("Could not load " + path));
    EXPECT_TRUE(app.quitPosted);
    EXPECT_EQ(frame(), startFrame);
    EXPECT_EQ(list->entries[0].score, 400);
    EXPECT_FALSE(list->entries[0].byPlayer);
}

TEST_F(NewHighScoreTest, TheScreenLooksAsItShould) {
    lastPlayerName = "Zed";
    SeedRandom(3);
    type(14, kScanA, "A");
    type(17, kScanB, "n");
    tap(24, kScanEnter);
    limitFrames(100);
    enter(250);
    ASSERT_EQ(app.loopResult, kLoopChoice);
    // The back surface keeps the last frame drawn: two pairs of stamps, the
    // boxes over them and the typed name.
    checkGoldenFrame(*back, "new_high_score.ppm");
}
