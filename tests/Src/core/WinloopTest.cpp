#include "Src/core/Application.h"

#include "gfx/HeadlessPlatform.h"
#include "lib/Log.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class Winloop : public ::testing::Test {
protected:
    void SetUp() override {
        app = ApplicationState();
        app.platform = &platform;
        app.appActive = 1;
        gameLog.open(dir.file("log.txt").c_str());
        pausedLog.clear();
        app.pauseMusic = [](bool pause) { pausedLog.push_back(pause); };
    }
    void TearDown() override {
        gameLog.close();
        app = ApplicationState();
    }

    TempDir dir;
    HeadlessPlatform platform;
    static inline std::vector<bool> pausedLog;
};

} // namespace

// The idle callback runs at each millisecond step of a period's second half,
// or from the end of a frame's work that took longer than half. A rate of 0
// counts as one frame a second.
TEST_F(Winloop, IdleStepsComeEachMillisecondOfThePeriodsSecondHalf) {
    struct Case {
        int fps;
        uint32_t workUs;
        uint64_t firstIdleMs, idles;
    };
    const Case cases[] = {
        {55, 0, 9, 9},     {50, 3000, 10, 10}, {55, 12500, 12, 6}, {55, 17990, 17, 1},
        {55, 18000, 0, 0}, {7, 0, 71, 71},     {0, 0, 500, 500},
    };
    platform.setOversleep(80); // wake-ups come late, as on a real system
    for (const Case& c : cases) {
        app.framesPerSecond = c.fps;
        platform.advanceMicroseconds(2000000); // a new schedule after a pause
        uint64_t frameStart = 0;
        std::vector<uint64_t> idleAtMs, expected;
        for (uint64_t i = 0; i < c.idles; ++i)
            expected.push_back(c.firstIdleMs + i);
        LoopCallbacks loop;
        loop.frame = [&] {
            frameStart = platform.nowMicroseconds();
            platform.advanceMicroseconds(c.workUs);
            app.loopResult = kLoopChoice;
        };
        loop.idle = [&] { idleAtMs.push_back((platform.nowMicroseconds() - frameStart) / 1000); };
        winloop(loop, true);
        EXPECT_EQ(idleAtMs, expected) << c.fps << " fps, frame work " << c.workUs << " us";
        const uint64_t periodUs = 1000 / std::max(c.fps, 1) * 1000;
        EXPECT_GE(platform.nowMicroseconds() - frameStart, periodUs - 1);
    }
}

// Over 1000 frames the starts keep to one schedule although every sleep
// wakes late, and waiting sleeps: only the last half millisecond before a
// frame is spun (one clock read per microsecond here).
TEST_F(Winloop, FramesKeepToTheirScheduleWithoutDriftAndWaitBySleeping) {
    app.framesPerSecond = 55;
    platform.setOversleep(80);
    std::vector<uint64_t> starts;
    int mostReads = 0, readsBefore = 0;
    LoopCallbacks loop;
    loop.frame = [&] {
        starts.push_back(platform.nowMicroseconds());
        mostReads = std::max(mostReads, platform.clockReads() - readsBefore);
        readsBefore = platform.clockReads();
        if (starts.size() == 1001)
            app.loopResult = kLoopChoice;
    };
    winloop(loop, true);
    ASSERT_EQ(starts.size(), 1001u);
    for (size_t i = 1; i < starts.size(); ++i) {
        const uint64_t due = starts[0] + i * 18000;
        ASSERT_GE(starts[i], due) << "frame " << i;
        ASSERT_LT(starts[i] - due, 100u) << "frame " << i;
    }
    EXPECT_LT(mostReads, 650);
}

// A frame longer than the period starts the next without waiting; without
// stop on any result the loop runs until a leave is requested.
TEST_F(Winloop, ALongFrameStartsTheNextWithoutWaitingAndTheLevelLoopWaitsForLeave) {
    int frames = 0;
    int idles = 0;
    LoopCallbacks loop;
    loop.frame = [&] {
        platform.setTime(platform.now() + 40);
        if (++frames == 1)
            app.loopResult = kLoopLevelCompleted; // not enough alone
        if (frames == 5)
            app.leaveRequested = true;
    };
    loop.idle = [&] { ++idles; };
    winloop(loop, false);
    EXPECT_EQ(frames, 5);
    EXPECT_EQ(app.loopResult, kLoopLevelCompleted);
    EXPECT_EQ(idles, 0);
    EXPECT_EQ(platform.sleeps(), 0);
}

TEST_F(Winloop, EntryClearsTheFlagsAndAFailedInitEndsWithCodeTwoAndStillCallsExit) {
    app.gamePaused = true;
    app.leaveRequested = true;
    app.loopResult = kLoopSnakeLost;
    bool sawClear = false, exited = false, framed = false;
    LoopCallbacks loop;
    loop.init = [&] {
        sawClear = !app.gamePaused && !app.leaveRequested && app.loopResult == 0;
        return false;
    };
    loop.exit = [&] { exited = true; };
    loop.frame = [&] { framed = true; };
    winloop(loop, true);
    EXPECT_TRUE(sawClear);
    EXPECT_EQ(app.loopResult, kLoopInitFailed);
    EXPECT_TRUE(exited);
    EXPECT_FALSE(framed);
}

TEST_F(Winloop, InactiveApplicationRunsNoFramesAndPausesTheMusic) {
    int frames = 0;
    LoopCallbacks loop;
    loop.frame = [&] {
        ++frames;
        if (frames == 1) {
            platform.pushEvent(PlatformEvent::Deactivated);
            platform.onIdleWait = [&] { platform.pushEvent(PlatformEvent::Activated); };
        }
        if (frames == 3)
            app.loopResult = kLoopChoice;
    };
    int framesWhileInactive = 0;
    loop.idle = [&] {
        if (!app.appActive)
            ++framesWhileInactive;
    };
    winloop(loop, true);
    EXPECT_EQ(frames, 3);
    EXPECT_EQ(framesWhileInactive, 0);
    EXPECT_EQ(pausedLog, (std::vector<bool>{true, false}));
}

// A system quit request acts like closing the window.
TEST_F(Winloop, ClosingTheWindowQuitsFromAnyLoopAndLaterLoopsEndAtOnce) {
    for (auto request : {PlatformEvent::CloseRequest, PlatformEvent::Quit}) {
        app.quitPosted = false;
        int frames = 0;
        LoopCallbacks loop;
        loop.frame = [&] {
            if (++frames == 2)
                platform.pushEvent(request);
        };
        winloop(loop, false); // the level loop: ends although leaveRequested stays 0
        EXPECT_EQ(app.loopResult, kLoopQuit);
        EXPECT_EQ(frames, 2);
        EXPECT_TRUE(app.quitPosted);

        // An escape menu or the next level after the quit: no frame runs.
        bool exited = false;
        LoopCallbacks next;
        next.frame = [&] { ++frames; };
        next.exit = [&] { exited = true; };
        winloop(next, true);
        EXPECT_EQ(frames, 2);
        EXPECT_TRUE(exited);
    }
    const std::string line = "winloop : !GetMessage\n";
    EXPECT_EQ(dir.read("log.txt"), line + line + line + line);
}

// The cursor hidden while the loop runs comes back when it ends.
TEST_F(Winloop, LeftClicksReachTheRunningLoopAsSignedSixteenBitValues) {
    std::vector<std::pair<int, int>> clicks;
    bool hiddenDuring = false;
    LoopCallbacks loop;
    loop.hideCursor = true;
    loop.mouseClick = [&](int x, int y) { clicks.emplace_back(x, y); };
    loop.frame = [&] {
        hiddenDuring = !platform.cursorVisible();
        app.loopResult = clicks.empty() ? 0 : kLoopChoice;
    };
    PlatformEvent click;
    click.type = PlatformEvent::MouseButtonDown;
    click.button = 1;
    click.x = 0x1FFFF; // wraps to -1
    click.y = 200;
    platform.pushEvent(click);
    PlatformEvent right = click;
    right.button = 3;
    right.x = 5;
    platform.pushEvent(right);
    winloop(loop, true);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], std::make_pair(-1, 200));
    EXPECT_TRUE(hiddenDuring);
    EXPECT_TRUE(platform.cursorVisible());
}

// A result the loops do not know ends the program rather than leaving a
// caller to guess.
TEST_F(Winloop, AnUnknownResultCodeIsTreatedAsQuit) {
    const struct {
        int32_t result;
        bool known;
    } cases[] = {{kLoopKeyConfig, true},
                 {kLoopChoice, true},
                 {kLoopKeyConfig + 1, false},
                 {42, false},
                 {-1, false}};
    for (const auto& c : cases) {
        app.quitPosted = false;
        LoopCallbacks loop;
        loop.frame = [&] { app.loopResult = c.result; };
        winloop(loop, true);
        EXPECT_EQ(app.loopResult, c.known ? c.result : kLoopQuit) << c.result;
        EXPECT_EQ(app.quitPosted, !c.known) << c.result;
    }
}

// A frame composes on the back surface; the loop copies it to the screen
// and shows it, unstretched, as the next frame starts.
TEST_F(Winloop, AFrameIsShownAsTheNextStarts) {
    std::unique_ptr<GfxScreen> screen;
    std::unique_ptr<GfxSurface> back;
    openHeadlessApp(platform, screen, back);
    const uint32_t colours[] = {0xFF0000, 0x00FF00, 0x0000FF};
    int frames = 0;
    LoopCallbacks loop;
    loop.frame = [&] {
        back->FillAll(screen->ConvertColor(colours[frames]));
        if (++frames == 3)
            app.loopResult = kLoopChoice;
    };
    winloop(loop, true);
    const std::vector<uint32_t>& shown = platform.lastFrame();
    EXPECT_EQ(std::count(shown.begin(), shown.end(), colours[1]), 640 * 480);
    EXPECT_FALSE(platform.lastFrameStretched());
}

TEST_F(Winloop, FatalErrorLogsCutsAndEndsTheLoops) {
    const std::string huge(3000, 'z');
    fatalError(nullptr, "Could not load %s", huge.c_str());
    EXPECT_TRUE(app.quitPosted);
    const std::string log = dir.read("log.txt");
    EXPECT_EQ(log.size(), static_cast<size_t>(kFatalErrorMaxLength) + 1);
    EXPECT_EQ(log.substr(0, 14), "Could not load");
    EXPECT_EQ(log.back(), '\n');
    // No display here: no box, only the log line.
    EXPECT_TRUE(platform.messageBoxes().empty());

    // Text from data files is shown, never used as a format.
    app.quitPosted = false;
    fatalError(nullptr, "%s", "100%s %n level");
    EXPECT_NE(dir.read("log.txt").find("100%s %n level\n"), std::string::npos);
}
