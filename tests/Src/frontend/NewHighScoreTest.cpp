// The new high score entry.
#include "Src/frontend/NewHighScore.h"

#include "Src/frontend/TitleBackground.h"
#include "lib/Random.h"
#include "tests/support/GoldenFrame.h"
#include "tests/support/KeyScript.h"
#include "tests/support/PlayedGame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

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

// A score below the table shows nothing; the typed name goes above an equal
// score, keeping one byte a letter and dropping what does not fit in one;
// cheats are named and nothing is stored; the preset name is kept,
// replaced by the first key or cleared by backspace, and an empty name waits
// for a letter; the sounds follow their options. One transcript line a case.
TEST_F(NewHighScoreTest, Scenarios) {
    const struct {
        const char* preset;
        int score;
        const char* how; // 'c' cheats, 'm' title music, 's' sound effects, 'f' a fresh table
        const char* keys;
    } cases[] = {
        {"Zed", 39, "ms", ""},
        {"Zed", 400, "", "5 type:A type:n tab type:\xC3\xA9 type:\xD0\xB6 enter"},
        {"Zed", 205, "cf", "5 type:q enter"},
        {"Zed", 500, "f", "5 enter"},
        {"Zed", 500, "f", "5 type:x type:y enter"},
        {"Zed", 500, "f", "5 bksp type:k enter"},
        {"Zed", 500, "f", "5 type:k bksp type:m enter"},
        {"", 500, "f", "5 type:a enter"},
        {"A name much longer than twenty", 500, "f", "5 enter"},
        {"Zed", 500, "f", "5 bksp enter type:b enter"},
        {"Zed", 100, "fms", "3 enter"},
        {"Zed", 100, "fm", "3 enter"},
        {"Zed", 100, "fs", "3 enter"},
        {"Zed", 100, "f", "3 enter"},
    };
    recordSounds();
    std::ostringstream out;
    for (const auto& c : cases) {
        const std::string how = c.how;
        if (how.find('f') != std::string::npos)
            list->fillNew();
        options.titleMusic = how.find('m') != std::string::npos;
        options.soundEffects = how.find('s') != std::string::npos;
        lastPlayerName = c.preset;
        pendingHighlight = {4, 2, 7};
        setPanelCountdown(50);
        playKeys(platform, frame(), c.keys, 5, [this](const std::string& word, int at) {
            tapKey(platform, at, kScanA, word.substr(5).c_str());
            return 5;
        });
        limitFrames(frame() + 200);
        enter(c.score, how.find('c') != std::string::npos);
        std::string message = screenShown.messageLines().c_str();
        std::replace(message.begin(), message.end(), '\n', '|');
        out << c.score << " " << how << " '" << c.keys << "': rank " << screenShown.rank() << " '"
            << message << "' result " << app.loopResult << " after " << frame() - startFrame
            << " frames, name '" << lastPlayerName.c_str() << "', highlight "
            << pendingHighlight.zone << "," << pendingHighlight.skill << ","
            << pendingHighlight.rank << ", panel in " << panelCountdown() << ", boxes from y "
            << screenShown.layoutTop() << ", sounds '" << soundsPlayed() << "', table";
        for (int i : {0, 1, 5, 9})
            out << " " << name(i) << "=" << list->entries[i].score
                << (list->entries[i].byPlayer ? "*" : "");
        out << "\n";
    }
    checkGoldenText(LURVANE_TEST_GOLDEN_DIR "/new_high_score.txt", out.str());
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
