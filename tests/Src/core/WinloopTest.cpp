#include "Src/core/Application.h"

#include "gfx/HeadlessPlatform.h"
#include "lib/Log.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

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

TEST_F(Winloop, FramePeriodIsBusyForHalfThenIdlesInOneMillisecondSleeps) {
    app.framesPerSecond = 55; // 18 ms
    std::vector<uint32_t> frameStarts;
    int idles = 0;
    LoopCallbacks loop;
    loop.frame = [&] {
        frameStarts.push_back(platform.now());
        if (frameStarts.size() == 3)
            app.loopResult = kLoopChoice;
    };
    loop.idle = [&] { ++idles; };
    winloop(loop, true);

    ASSERT_EQ(frameStarts.size(), 3u);
    // Each read of the clock costs 1 ms here; a period is 18 ms or just over.
    for (size_t i = 1; i < frameStarts.size(); ++i) {
        EXPECT_GE(frameStarts[i] - frameStarts[i - 1], 18u);
        EXPECT_LE(frameStarts[i] - frameStarts[i - 1], 20u);
    }
    // Idle and sleep come only in the second half: at most 9 ms of 18.
    EXPECT_GT(idles, 0);
    EXPECT_LE(idles, 3 * 9);
    EXPECT_EQ(platform.sleeps(), idles);
    EXPECT_EQ(app.loopResult, kLoopChoice);
}

TEST_F(Winloop, MenusRunAtFiftyFramesPerSecond) {
    app.framesPerSecond = 50;
    std::vector<uint32_t> starts;
    LoopCallbacks loop;
    loop.frame = [&] {
        starts.push_back(platform.now());
        if (starts.size() == 2)
            app.loopResult = kLoopEscape;
    };
    winloop(loop, true);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_GE(starts[1] - starts[0], 20u);
    EXPECT_LE(starts[1] - starts[0], 22u);
}

TEST_F(Winloop, ALongFrameStartsTheNextWithoutWaiting) {
    int frames = 0;
    int idles = 0;
    LoopCallbacks loop;
    loop.frame = [&] {
        platform.setTime(platform.now() + 40); // longer than the period
        if (++frames == 2)
            app.loopResult = kLoopChoice;
    };
    loop.idle = [&] { ++idles; };
    winloop(loop, true);
    EXPECT_EQ(frames, 2);
    EXPECT_EQ(idles, 0);
    EXPECT_EQ(platform.sleeps(), 0);
}

TEST_F(Winloop, FailedInitEndsWithCodeTwoAndStillCallsExit) {
    bool exited = false;
    bool framed = false;
    LoopCallbacks loop;
    loop.init = [] { return false; };
    loop.exit = [&] { exited = true; };
    loop.frame = [&] { framed = true; };
    winloop(loop, true);
    EXPECT_EQ(app.loopResult, kLoopInitFailed);
    EXPECT_TRUE(exited);
    EXPECT_FALSE(framed);
}

TEST_F(Winloop, WithoutStopOnAnyResultTheLoopWaitsForLeaveRequested) {
    int frames = 0;
    LoopCallbacks loop;
    loop.frame = [&] {
        ++frames;
        if (frames == 1)
            app.loopResult = kLoopLevelCompleted; // not enough alone
        if (frames == 5)
            app.leaveRequested = true;
    };
    winloop(loop, false);
    EXPECT_EQ(frames, 5);
    EXPECT_EQ(app.loopResult, kLoopLevelCompleted);
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

TEST_F(Winloop, ClosingTheWindowQuitsFromAnyLoopAndLaterLoopsEndAtOnce) {
    int frames = 0;
    LoopCallbacks loop;
    loop.frame = [&] {
        if (++frames == 2)
            platform.pushEvent(PlatformEvent::CloseRequest);
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
    EXPECT_EQ(dir.read("log.txt"), "winloop : !GetMessage\nwinloop : !GetMessage\n");
}

TEST_F(Winloop, ASystemQuitRequestActsLikeClosing) {
    LoopCallbacks loop;
    loop.frame = [&] { platform.pushEvent(PlatformEvent::Quit); };
    winloop(loop, true);
    EXPECT_EQ(app.loopResult, kLoopQuit);
    EXPECT_TRUE(app.quitPosted);
}

TEST_F(Winloop, LeftClicksReachTheRunningLoopAsSignedSixteenBitValues) {
    std::vector<std::pair<int, int>> clicks;
    LoopCallbacks loop;
    loop.mouseClick = [&](int x, int y) { clicks.emplace_back(x, y); };
    loop.frame = [&] { app.loopResult = clicks.empty() ? 0 : kLoopChoice; };
    PlatformEvent click;
    click.type = PlatformEvent::MouseButtonDown;
    click.button = 1;
    click.x = 0x1FFFF; // wraps to -1
    click.y = 200;
    platform.pushEvent(click);
    PlatformEvent right = click;
    right.button = 3;
    platform.pushEvent(right);
    winloop(loop, true);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], std::make_pair(-1, 200));
}

TEST_F(Winloop, HiddenCursorComesBackWhenTheLoopEnds) {
    bool hiddenDuring = false;
    LoopCallbacks loop;
    loop.hideCursor = true;
    loop.frame = [&] {
        hiddenDuring = !platform.cursorVisible();
        app.loopResult = kLoopChoice;
    };
    winloop(loop, true);
    EXPECT_TRUE(hiddenDuring);
    EXPECT_TRUE(platform.cursorVisible());
}

TEST_F(Winloop, AnUnknownResultCodeIsTreatedAsQuit) {
    LoopCallbacks loop;
    loop.frame = [] { app.loopResult = 42; };
    winloop(loop, true);
    EXPECT_EQ(app.loopResult, kLoopQuit);
    EXPECT_TRUE(app.quitPosted);
}

TEST_F(Winloop, EntryClearsPauseAndLeaveFlags) {
    app.gamePaused = true;
    app.leaveRequested = true;
    app.loopResult = kLoopSnakeLost;
    LoopCallbacks loop;
    bool sawClear = false;
    loop.init = [&] {
        sawClear = !app.gamePaused && !app.leaveRequested && app.loopResult == 0;
        return true;
    };
    loop.frame = [] { app.loopResult = kLoopChoice; };
    winloop(loop, true);
    EXPECT_TRUE(sawClear);
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
