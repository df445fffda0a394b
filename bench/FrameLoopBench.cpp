// The real frame pacing of winloop on SDL's dummy driver: 550 frames (ten
// seconds of play), with the mean and worst period against the 18 ms target
// and the process's CPU time per frame.
#include "Src/core/Application.h"
#include "gfx/GfxScreen.h"
#include "gfx/sdl/SdlPlatform.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>

namespace {

double cpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void BM_WinloopPacing550Frames(benchmark::State& state) {
    ::setenv("SDL_VIDEODRIVER", "dummy", 0);
    SdlPlatform platform;
    if (!platform.isUsable() || !platform.createWindow("Lurvane", 640, 480)) {
        state.SkipWithError("no SDL video");
        return;
    }
    GfxScreen screen(&platform);
    screen.CreateWindowed(&platform, 640, 480);
    double meanMs = 0, worstMs = 0, cpuMsPerFrame = 0;
    for (auto _ : state) {
        app = ApplicationState();
        app.platform = &platform;
        app.screen = &screen;
        app.appActive = 1;
        app.framesPerSecond = 55;
        using Clock = std::chrono::steady_clock;
        Clock::time_point last = Clock::now();
        Clock::time_point first = last;
        double worst = 0;
        int frames = 0;
        const double cpuStart = cpuSeconds();
        LoopCallbacks loop;
        loop.frame = [&] {
            const Clock::time_point now = Clock::now();
            if (frames > 0)
                worst =
                    std::max(worst, std::chrono::duration<double, std::milli>(now - last).count());
            else
                first = now;
            last = now;
            if (++frames == 551)
                app.loopResult = kLoopChoice;
        };
        winloop(loop, true);
        meanMs = std::chrono::duration<double, std::milli>(last - first).count() / 550.0;
        worstMs = worst;
        cpuMsPerFrame = (cpuSeconds() - cpuStart) * 1000.0 / 551.0;
    }
    state.counters["mean_period_ms"] = meanMs;
    state.counters["worst_period_ms"] = worstMs;
    state.counters["cpu_ms_per_frame"] = cpuMsPerFrame;
    app = ApplicationState();
}
BENCHMARK(BM_WinloopPacing550Frames)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
