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

    // Runs one loop on a script of words. Without a colon they set the loop
    // up: level (stop on no result), fps=N, hide (the cursor), failinit.
    // "frame:action" acts at a frame's start, "*" for every frame: work=N
    // (microseconds), slow (40 ms), choice, level, leave, result=N, close,
    // quit, deactivate (active again at the next idle wait), click=x,y or
    // rclick=x,y. Lists what the loop did; idle steps in milliseconds after
    // the first frame's start. The flags are set before, for the loop to
    // clear on entry.
    // The colour of the frame shown last when it fills the screen unstretched.
    std::string shownText() {
        const std::vector<uint32_t>& shown = platform.lastFrame();
        if (shown.empty())
            return "-";
        const bool one = std::count(shown.begin(), shown.end(), shown[0]) == 640 * 480;
        return one && !platform.lastFrameStretched() ? std::to_string(shown[0] & 0xFFFFFF) : "-";
    }

    // Inactive until the next idle wait.
    void deactivate() {
        platform.pushEvent(PlatformEvent::Deactivated);
        platform.onIdleWait = [this] { platform.pushEvent(PlatformEvent::Activated); };
    }

    std::string play(const std::string& script) {
        int frames = 0, idles = 0, idlesInactive = 0, hidden = 0;
        bool exited = false, cleared = false;
        std::string clicks, idleMs;
        std::vector<uint64_t> steps;
        uint64_t firstStart = 0;
        std::pair<int64_t, int64_t> lateness = {0, 0};
        int reads = platform.clockReads(), mostReads = 0;
        pausedLog.clear();
        const int sleepsBefore = platform.sleeps();
        if (script.find("show") != std::string::npos) {
            const auto pause = app.pauseMusic;
            openHeadlessApp(platform, screen, back);
            app.pauseMusic = pause;
        }
        app.framesPerSecond = 55;
        if (script.find("inactive") != std::string::npos) // from the first pass
            deactivate();
        LoopCallbacks loop;
        std::istringstream setup(script);
        for (std::string w; setup >> w;) {
            app.framesPerSecond =
                w.rfind("fps=", 0) == 0 ? std::stoi(w.substr(4)) : app.framesPerSecond;
            loop.hideCursor = loop.hideCursor || w == "hide";
        }
        loop.init = [&] {
            cleared = !app.gamePaused && !app.leaveRequested && app.loopResult == 0;
            return script.find("failinit") == std::string::npos;
        };
        loop.exit = [&] { exited = true; };
        loop.idle = [&] {
            ++(app.appActive ? idles : idlesInactive);
            if (frames == 1)
                steps.push_back((platform.nowMicroseconds() - firstStart) / 1000);
        };
        loop.mouseClick = [&](int x, int y) {
            clicks += " " + std::to_string(x) + "," + std::to_string(y);
        };
        loop.frame = [&] {
            if (++frames == 1)
                firstStart = app.frameStartedAt;
            // Lateness against one schedule from the first start, as the
            // pacing benchmark reads it, and the most clock reads between
            // two starts (one a microsecond spun).
            const int64_t late = static_cast<int64_t>(app.frameStartedAt - firstStart) -
                                 (frames - 1) * (1000 / std::max(app.framesPerSecond, 1) * 1000);
            lateness = {std::min(lateness.first, late), std::max(lateness.second, late)};
            mostReads = std::max(mostReads, platform.clockReads() - reads);
            reads = platform.clockReads();
            hidden += !platform.cursorVisible();
            if (back) // a colour of each frame's own
                back->FillAll(screen->ConvertColor(0x10 * static_cast<uint32_t>(frames)));
            std::istringstream words(script);
            for (std::string w; words >> w;) {
                const size_t colon = w.find(':');
                if (colon == std::string::npos ||
                    (w.substr(0, colon) != "*" && std::stoi(w.substr(0, colon)) != frames))
                    continue;
                const std::string act = w.substr(colon + 1);
                const std::string arg = act.substr(std::min(act.find('=') + 1, act.size()));
                if (act == "slow")
                    platform.setTime(platform.now() + 40);
                else if (act.rfind("work=", 0) == 0)
                    platform.advanceMicroseconds(std::stoul(arg));
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
                else if (act == "deactivate")
                    deactivate();
                else {
                    PlatformEvent click;
                    click.type = PlatformEvent::MouseButtonDown;
                    click.button = act[0] == 'r' ? 3 : 1;
                    click.x = std::stoi(arg);
                    click.y = std::stoi(arg.substr(arg.find(',') + 1));
                    platform.pushEvent(click);
                }
            }
        };
        platform.advanceMicroseconds(2000000); // a new schedule after a pause
        firstStart = platform.nowMicroseconds();
        app.gamePaused = app.leaveRequested = true;
        app.loopResult = kLoopSnakeLost;
        winloop(loop, script.rfind("level", 0) != 0);
        platform.onIdleWait = nullptr;
        for (size_t i = 0; i < steps.size(); ++i) // a run of steps as "first-last"
            if (i == 0 || steps[i] != steps[i - 1] + 1)
                idleMs += " " + std::to_string(steps[i]);
            else if (i + 1 == steps.size() || steps[i + 1] != steps[i] + 1)
                idleMs += "-" + std::to_string(steps[i]);
        std::string paused;
        for (bool pause : pausedLog)
            paused += pause ? "1" : "0";
        return "init=" + std::to_string(cleared) + " frames=" + std::to_string(frames) +
               " idles=" + std::to_string(idles) +
               " inactive idles=" + std::to_string(idlesInactive) +
               " sleeps=" + std::to_string(platform.sleeps() - sleepsBefore) +
               " result=" + std::to_string(app.loopResult) +
               " quit=" + std::to_string(app.quitPosted) + " exit=" + std::to_string(exited) +
               " paused=" + paused + " clicks=" + clicks +
               " hidden frames=" + std::to_string(hidden) +
               " cursor=" + std::to_string(platform.cursorVisible()) + " idle ms=" + idleMs +
               " ended " + std::to_string((platform.nowMicroseconds() - firstStart) / 1000) +
               " ms late " + std::to_string(lateness.first) + ".." +
               std::to_string(lateness.second) + " us reads " + std::to_string(mostReads) +
               " shown " + shownText() +
               " loop left=" + std::to_string(app.currentLoop != nullptr) + "\n";
    }

    HeadlessPlatform platform;
    std::unique_ptr<GfxScreen> screen;
    std::unique_ptr<GfxSurface> back;
    static inline std::vector<bool> pausedLog;
};

} // namespace

// Idle steps fill each period's second half; frames keep one schedule
// though sleeps wake late, and waits sleep; a frame is shown as the next
// starts; closing the window quits from
// any loop; a result the loops do not know ends the program.
TEST_F(Winloop, ScriptedLoopsRunTheirFramesAndEndAsTheyShould) {
    const char* const runs[] = {
        "1:choice",
        "1001:choice",
        "fps=50 1:work=3000 1:choice",
        "1:work=12500 1:choice",
        "1:work=17990 1:choice",
        "1:work=18000 1:choice",
        "fps=7 1:choice",
        "fps=0 1:choice",
        "level *:slow 1:level 5:leave",
        "failinit",
        "1:deactivate 3:choice",
        "inactive 3:choice",     // no pause before the first pass
        "1:work=17998 1:choice", // the clock ends on the period's end: no idle
        "1:work=35995 3:choice", // the second frame a whole period late: a new schedule
        "level 2:close",
        "after",
        "level 2:quit",
        "after",
        "hide 1:click=131071,200 1:rclick=5,200 2:choice",
        "1:result=9",
        "1:result=10",
        "1:result=42",
        "1:result=-1",
        "show 3:choice", // last: a screen changes the clock reads
    };
    platform.setOversleep(80); // wake-ups come late, as on a real system
    std::string transcript;
    for (const std::string run : runs) {
        app.quitPosted = app.quitPosted && run == "after";
        transcript += run + ": " + play(run);
    }
    checkGoldenText(std::string(LURVANE_TEST_GOLDEN_DIR) + "/winloop.txt",
                    transcript + dir.read("log.txt"));
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
