#include "Src/core/Application.h"

#include "gfx/HeadlessPlatform.h"
#include "lib/Log.h"
#include "tests/support/Golden.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/LoggedTest.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace {

class Winloop : public LoggedTest {
protected:
    void SetUp() override {
        LoggedTest::SetUp();
        app = ApplicationState();
        app.platform = &platform;
        app.appActive = 1;
        app.pauseMusic = [](bool pause) { pausedLog.push_back(pause); };
    }
    void TearDown() override {
        LoggedTest::TearDown();
        app = ApplicationState();
    }

    // Runs one loop on a script of "frame:action" words, "*" for every
    // frame; actions at a frame's start: slow (40 ms of work), choice,
    // level, leave, result=N, close, quit, deactivate (active again at the
    // next idle wait), click=x,y or rclick=x,y. Lists what the loop did.
    std::string play(bool stopOnResult, const std::string& script, bool hideCursor = false) {
        int frames = 0, idles = 0, idlesInactive = 0, hidden = 0;
        bool exited = false;
        std::string clicks;
        pausedLog.clear();
        const int sleepsBefore = platform.sleeps();
        LoopCallbacks loop;
        loop.hideCursor = hideCursor;
        loop.exit = [&] { exited = true; };
        loop.idle = [&] { ++(app.appActive ? idles : idlesInactive); };
        loop.mouseClick = [&](int x, int y) {
            clicks += " " + std::to_string(x) + "," + std::to_string(y);
        };
        loop.frame = [&] {
            ++frames;
            hidden += !platform.cursorVisible();
            std::istringstream words(script);
            for (std::string w; words >> w;) {
                const size_t colon = w.find(':');
                if (w.substr(0, colon) != "*" && std::stoi(w.substr(0, colon)) != frames)
                    continue;
                const std::string act = w.substr(colon + 1);
                const std::string arg = act.substr(std::min(act.find('=') + 1, act.size()));
                if (act == "slow")
                    platform.setTime(platform.now() + 40);
                else if (act == "choice")
                    app.loopResult = kLoopChoice;
                else if (act == "level")
                    app.loopResult = kLoopLevelCompleted;
                else if (act == "leave")
                    app.leaveRequested = true;
                else if (act.rfind("result=", 0) == 0)
                    app.loopResult = std::stoi(arg);
                else if (act == "close" || act == "quit")
                    platform.pushEvent(act == "close" ? PlatformEvent::CloseRequest
                                                      : PlatformEvent::Quit);
                else if (act == "deactivate") {
                    platform.pushEvent(PlatformEvent::Deactivated);
                    platform.onIdleWait = [&] { platform.pushEvent(PlatformEvent::Activated); };
                } else {
                    PlatformEvent click;
                    click.type = PlatformEvent::MouseButtonDown;
                    click.button = act[0] == 'r' ? 3 : 1;
                    click.x = std::stoi(arg);
                    click.y = std::stoi(arg.substr(arg.find(',') + 1));
                    platform.pushEvent(click);
                }
            }
        };
        winloop(loop, stopOnResult);
        platform.onIdleWait = nullptr;
        std::string paused;
        for (bool pause : pausedLog)
            paused += pause ? "1" : "0";
        return "frames=" + std::to_string(frames) + " idles=" + std::to_string(idles) +
               " inactive idles=" + std::to_string(idlesInactive) +
               " sleeps=" + std::to_string(platform.sleeps() - sleepsBefore) +
               " result=" + std::to_string(app.loopResult) +
               " quit=" + std::to_string(app.quitPosted) + " exit=" + std::to_string(exited) +
               " paused=" + paused + " clicks=" + clicks +
               " hidden frames=" + std::to_string(hidden) +
               " cursor=" + std::to_string(platform.cursorVisible()) + "\n";
    }

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

// A frame longer than the period starts the next without waiting; without
// stop on any result the level loop runs until a leave is requested. An
// inactive application runs no frames and pauses the music. Closing the
// window (or a system quit request) quits from any loop, and later loops
// end at once. Left clicks reach the running loop as signed 16-bit values,
// and the cursor hidden while it runs comes back. A result the loops do not
// know ends the program rather than leaving a caller to guess.
TEST_F(Winloop, ScriptedLoopsRunTheirFramesAndEndAsTheyShould) {
    const struct {
        bool stopOnResult;
        const char* script;
        bool hideCursor = false;
    } runs[] = {
        {false, "*:slow 1:level 5:leave"},
        {true, "1:deactivate 3:choice"},
        {false, "2:close"},
        {true, ""},
        {false, "2:quit"},
        {true, ""},
        {true, "1:click=131071,200 1:rclick=5,200 2:choice", true},
        {true, "1:result=9"},
        {true, "1:result=10"},
        {true, "1:result=42"},
        {true, "1:result=-1"},
    };
    std::string transcript;
    for (const auto& r : runs) {
        app.quitPosted = app.quitPosted && r.script[0] == '\0';
        transcript += std::string(r.stopOnResult ? "stop" : "level") + " '" + r.script +
                      "': " + play(r.stopOnResult, r.script, r.hideCursor);
    }
    checkGoldenText(std::string(LURVANE_TEST_GOLDEN_DIR) + "/winloop.txt",
                    transcript + dir.read("log.txt"));
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
