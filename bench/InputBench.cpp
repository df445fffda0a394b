// The cost of sampling the input: the level loop updates the game's control
// states on every idle call, about ten times a frame.
#include "Src/core/InputManager.h"
#include "gfx/HeadlessPlatform.h"

#include <benchmark/benchmark.h>

namespace {

void BM_InputUpdateForGame(benchmark::State& state) {
    HeadlessPlatform platform;
    InputManager manager;
    if (!manager.init(&platform)) {
        state.SkipWithError("no input device");
        return;
    }
    int frame = 0;
    for (auto _ : state) {
        // A key goes down and up every few updates, as in play.
        PlatformEvent e;
        e.type = (++frame & 4) ? PlatformEvent::KeyDown : PlatformEvent::KeyUp;
        e.scancode = 0xCB;
        platform.pushEvent(e);
        while (platform.pollEvent(e)) {
        }
        manager.updateForGame();
        benchmark::DoNotOptimize(manager.state(0)->horizontal);
    }
}
BENCHMARK(BM_InputUpdateForGame);

void BM_InputUpdateForMenu(benchmark::State& state) {
    HeadlessPlatform platform;
    InputManager manager;
    if (!manager.init(&platform)) {
        state.SkipWithError("no input device");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(manager.updateForMenu()->buttons);
}
BENCHMARK(BM_InputUpdateForMenu);

} // namespace
