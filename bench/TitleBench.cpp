// The title screen: one frame (picture, scroller, an information panel and
// the main menu) composed into the back surface at 16 bits, and the time
// from the program's start to its first presented title frame, headless.
#include "Src/app/GameSystems.h"
#include "Src/core/Application.h"
#include "Src/core/GameState.h"
#include "Src/core/InputManager.h"
#include "Src/core/TextStyles.h"
#include "Src/frontend/TitleBackground.h"
#include "Src/frontend/TitleScreen.h"
#include "Src/menus/MenuBoxManager.h"
#include "Src/records/HighScoreManager.h"
#include "Src/records/Settings.h"
#include "Src/zones/LevelCatalogue.h"
#include "bench/AllocationCount.h"
#include "bench/BenchScreen.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/HeadlessPlatform.h"
#include "widgets/TextBox.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>

namespace {

// A copy of the game's Data directory to run in; empty when none is built.
std::filesystem::path gameCopy(const char* name) {
    const std::filesystem::path data(LURVANE_GAME_DATA_DIR);
    if (!std::filesystem::exists(data / "Gfx" / "title.bmp"))
        return {};
    const std::filesystem::path work = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(work);
    std::filesystem::create_directories(work);
    std::filesystem::copy(data, work / "Data", std::filesystem::copy_options::recursive);
    return work;
}

// Runs what on a title screen with the high score list up, in a copy of
// the game's data.
template <typename What> void withTitleScreen(benchmark::State& state, What what) {
    const std::filesystem::path work = gameCopy("lurvane-bench-title");
    if (work.empty()) {
        state.SkipWithError("no game pictures built");
        return;
    }
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(work);

    BenchScreen bench;
    SixteenBitPlatform& platform = bench.platform;
    GfxScreen& screen = bench.screen;
    GfxSurface& back = bench.back;
    setUpTextStyles(&screen);
    TextBox::setDefaultTarget(&back);
    highScoreManager = new HighScoreManager;
    menuBoxManager = new MenuBoxManager;
    inputManager = new InputManager;
    inputManager->init(&platform);
    options = Options();
    options.titleMusic = false;
    currentZone = 0;
    currentSkill = kSkillEasy;
    if (!enterTitleScreen()) {
        state.SkipWithError("the title screen did not come up");
    } else {
        // The high score list stays up for the whole run.
        setInfoPanel(1);
        setPanelCountdown(1 << 30);
        state.counters["bits"] = back.GetPixelFormat().depth;
        what();
    }
    leaveTitleScreen();
    delete inputManager;
    inputManager = nullptr;
    delete menuBoxManager;
    menuBoxManager = nullptr;
    delete highScoreManager;
    highScoreManager = nullptr;
    TextBox::setDefaultTarget(nullptr);
    levelCatalogue.clearZones();
    app = ApplicationState();
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(work);
}

void BM_TitleFrame(benchmark::State& state) {
    withTitleScreen(state, [&] {
        for (auto _ : state)
            titleFrame();
    });
}
BENCHMARK(BM_TitleFrame)->Unit(benchmark::kMicrosecond);

// Heap allocations per title frame once the first frames have made what
// the screen keeps. The scroller takes new words about every 65 frames and
// comes back to the same words only after some 380 takes, so the warm-up
// runs through its text once, until every kept line has held text as long
// as it will.
void BM_TitleFrameAllocations(benchmark::State& state) {
    constexpr int kWarmUpFrames = 30000;
    withTitleScreen(state, [&] {
        for (int i = 0; i < kWarmUpFrames; ++i)
            titleFrame();
        const AllocationCounts before = allocationCounts();
        for (auto _ : state)
            titleFrame();
        const AllocationCounts after = allocationCounts();
        const double frames = static_cast<double>(state.iterations());
        state.counters["newPerFrame"] =
            static_cast<double>(after.operatorNew - before.operatorNew) / frames;
        state.counters["sdlPerFrame"] = static_cast<double>(after.sdl - before.sdl) / frames;
    });
}
BENCHMARK(BM_TitleFrameAllocations)->Unit(benchmark::kMicrosecond)->Iterations(5000);

// From the entry routine's start to the first frame presented while the
// title screen runs; the program is then closed (not timed).
void BM_StartToFirstTitleFrame(benchmark::State& state) {
    const std::filesystem::path work = gameCopy("lurvane-bench-start");
    if (work.empty()) {
        state.SkipWithError("no game pictures built");
        return;
    }
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(work);
    for (auto _ : state) {
        SixteenBitPlatform platform;
        using Clock = std::chrono::steady_clock;
        const Clock::time_point start = Clock::now();
        double seconds = -1;
        platform.afterPresent = [&](int) {
            if (seconds < 0 && titleMainMenu()) {
                seconds = std::chrono::duration<double>(Clock::now() - start).count();
                platform.pushEvent(PlatformEvent::CloseRequest);
            }
        };
        runLurvane(platform);
        state.SetIterationTime(seconds);
    }
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(work);
}
BENCHMARK(BM_StartToFirstTitleFrame)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(9)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
