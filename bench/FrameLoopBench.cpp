// Frame pacing on SDL's dummy driver, 1000 frames at 55 per second, two
// ways in one run: winloop as it is (sleeping towards absolute deadlines,
// spinning only the last fraction of a millisecond) and the busy wait it
// replaced (spinning through the first half of each period, then idle calls
// with 1 ms sleeps, each period counted from the start of its own frame).
// Counters: the lateness of each frame's start against the time it was due
// (median and 99th percentile); the drift of the last frame from the
// schedule of the second, and how often a frame came more than a period late
// (the system did not run the process for that long) so that the loop began
// a new schedule; and the process's CPU time per frame.
#include "Src/core/Application.h"
#include "gfx/GfxScreen.h"
#include "gfx/sdl/SdlPlatform.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

constexpr int kFrames = 1000;
constexpr int kFramesPerSecond = 55;
constexpr uint64_t kPeriodUs = 1000000 / kFramesPerSecond / 1000 * 1000;

double cpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The earlier wait, kept here to compare against.
void busyFrame(Clock& clock, const std::function<void()>& frame) {
    const int32_t period = 1000 / kFramesPerSecond;
    const uint32_t start = clock.milliseconds();
    frame();
    for (;;) {
        const int32_t elapsed = std::abs(static_cast<int32_t>(clock.milliseconds() - start));
        if (elapsed >= period)
            break;
        if (elapsed >= period / 2)
            clock.sleep(1);
    }
}

struct Pacing {
    double p50Ms = 0, p99Ms = 0, driftMs = 0, cpuMsPerFrame = 0;
    int newSchedules = 0;
};

// The start of each frame and when it was due; dueOf gives the due time
// from the previous start (or 0 for the first frame).
Pacing measure(Clock& clock, const std::function<uint64_t(uint64_t previousStart)>& dueOf,
               const std::function<uint64_t()>& startOf,
               const std::function<void(const std::function<void()>&)>& run) {
    std::vector<uint64_t> starts, dues;
    starts.reserve(kFrames);
    dues.reserve(kFrames);
    const double cpuStart = cpuSeconds();
    run([&] {
        dues.push_back(starts.empty() ? 0 : dueOf(starts.back()));
        starts.push_back(startOf());
    });
    Pacing pacing;
    pacing.cpuMsPerFrame = (cpuSeconds() - cpuStart) * 1000.0 / kFrames;
    std::vector<double> lateness;
    for (size_t i = 1; i < starts.size(); ++i) {
        // Signed: the busy wait counts whole milliseconds and may start early.
        const double late = (static_cast<double>(starts[i]) - static_cast<double>(dues[i])) / 1000;
        lateness.push_back(late);
        pacing.newSchedules += late * 1000 >= static_cast<double>(kPeriodUs);
    }
    // Against the schedule from the second frame's due time: the first
    // frame's flip also makes the window's texture.
    pacing.driftMs = (static_cast<double>(starts.back() - dues[1]) -
                      static_cast<double>((starts.size() - 2) * kPeriodUs)) /
                     1000;
    std::sort(lateness.begin(), lateness.end());
    pacing.p50Ms = lateness[lateness.size() / 2];
    pacing.p99Ms = lateness[lateness.size() * 99 / 100];
    return pacing;
}

void report(benchmark::State& state, const std::string& way, const Pacing& pacing) {
    state.counters[way + "_p50_ms"] = pacing.p50Ms;
    state.counters[way + "_p99_ms"] = pacing.p99Ms;
    state.counters[way + "_drift_ms"] = pacing.driftMs;
    state.counters[way + "_cpu_ms_per_frame"] = pacing.cpuMsPerFrame;
    state.counters[way + "_new_schedules"] = pacing.newSchedules;
}

void BM_FramePacing1000Frames(benchmark::State& state) {
    ::setenv("SDL_VIDEODRIVER", "dummy", 0);
    SdlPlatform platform;
    if (!platform.isUsable() || !platform.createWindow("Lurvane", 640, 480)) {
        state.SkipWithError("no SDL video");
        return;
    }
    GfxScreen screen(&platform);
    screen.CreateWindowed(&platform, 640, 480);
    Pacing sleeping, busy;
    for (auto _ : state) {
        app = ApplicationState();
        app.platform = &platform;
        app.screen = &screen;
        app.appActive = 1;
        app.framesPerSecond = kFramesPerSecond;
        // The loop's own schedule: one period after the last frame's start.
        const auto dueNow = [](uint64_t) { return app.nextFrameDue; };
        // A frame starts when the loop begins it, before it shows the
        // picture composed in the previous one.
        const auto loopStart = [] { return app.frameStartedAt; };
        sleeping = measure(platform, dueNow, loopStart, [&](const std::function<void()>& onFrame) {
            int frames = 0;
            LoopCallbacks loop;
            loop.frame = [&] {
                onFrame();
                if (++frames == kFrames)
                    app.loopResult = kLoopChoice;
            };
            winloop(loop, true);
        });
        // Each period counted from its own frame's start.
        const auto afterPrevious = [](uint64_t previous) { return previous + kPeriodUs; };
        const auto now = [&] { return platform.microseconds(); };
        busy = measure(platform, afterPrevious, now, [&](const std::function<void()>& onFrame) {
            for (int i = 0; i < kFrames; ++i)
                busyFrame(platform, onFrame);
        });
    }
    report(state, "sleeping", sleeping);
    report(state, "busy", busy);
    app = ApplicationState();
}
BENCHMARK(BM_FramePacing1000Frames)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
