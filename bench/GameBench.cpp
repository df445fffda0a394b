// One whole level frame: the map, a snake of 100 segments and the display
// strip with its text, composed into the back surface at 16 bits, headless;
// and the heap allocations such a frame makes.
#include "Src/core/Application.h"
#include "Src/core/GameState.h"
#include "Src/core/InputManager.h"
#include "Src/game/GameManager.h"
#include "Src/game/SegmentPool.h"
#include "Src/records/HighScoreManager.h"
#include "Src/zones/LevelCatalogue.h"
#include "bench/AllocationCount.h"
#include "bench/BenchScreen.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/HeadlessPlatform.h"
#include "map/FmpWriter.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

// A long corridor with the snake's 100 body blocks behind its head.
void writeLevel(const std::filesystem::path& zone) {
    std::filesystem::create_directories(zone);
    const int width = 260, height = 23;
    FmpMap map;
    map.mapWidth = width;
    map.mapHeight = height;
    for (int k = 0; k < 32; ++k) {
        map.graphics.push_back(std::vector<uint32_t>(400, 0x204020u + 0x030303u * k));
        FmpBlockRecord record;
        record.graphics[0] = k * map.graphicSize();
        map.blocks.push_back(record);
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int16_t block = (y == 0 || x == 0 || y == height - 1 || x == width - 1) ? 3 : 1;
            if (y == 11 && x >= 1 && x <= 100)
                block = 5;
            if (y == 11 && x == 101)
                block = 7;
            if (y == 5 && x == width - 3)
                block = 2;
            map.layers[0].push_back(block);
        }
    writeFmpFile(map, (zone / "level1.fmp").string());
    std::ofstream(zone / "level.txt") << "<Zone>\nName=Bench\n</Zone>\n<Level>\nFilename=level1\n"
                                         "Time=999,999,999\nStartSpeed=40,40,40\n</Level>\n";
}

// Sets up a game on the corridor level in a scratch directory, runs body
// with the loaded level, and takes everything down again.
void withLevel(benchmark::State& state, const std::function<void(GameManager&)>& body) {
    const std::filesystem::path data(LURVANE_GAME_DATA_DIR);
    const std::filesystem::path work =
        std::filesystem::temp_directory_path() / "lurvane-bench-game";
    std::filesystem::remove_all(work);
    std::filesystem::create_directories(work / "Data" / "Gfx");
    for (const char* name : {"score.bmp", "items20.bmp", "items.bmp"})
        if (!std::filesystem::exists(data / "Gfx" / name) ||
            !std::filesystem::copy_file(data / "Gfx" / name, work / "Data" / "Gfx" / name)) {
            state.SkipWithError("no game pictures built");
            return;
        }
    writeLevel(work / "Data" / "Levels" / "bench");
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(work);

    BenchScreen bench;
    SixteenBitPlatform& platform = bench.platform;
    segmentPool = new SegmentPool;
    highScoreManager = new HighScoreManager;
    inputManager = new InputManager;
    inputManager->init(&platform);
    levelCatalogue.scanZones();
    currentZone = 0;
    currentSkill = kSkillEasy;
    {
        GameManager game;
        game.startGame();
        if (!game.loadLevel())
            state.SkipWithError("level did not load");
        else
            body(game);
    }
    delete inputManager;
    inputManager = nullptr;
    delete highScoreManager;
    highScoreManager = nullptr;
    delete segmentPool;
    segmentPool = nullptr;
    levelCatalogue.clearZones();
    app = ApplicationState();
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(work);
}
void BM_LevelFrame(benchmark::State& state) {
    withLevel(state, [&](GameManager& game) {
        for (auto _ : state)
            game.levelFrame();
        state.counters["segments"] = game.snake().segmentCount();
    });
}
BENCHMARK(BM_LevelFrame)->Unit(benchmark::kMicrosecond);

// Heap allocations per level frame once the first frames have made what
// the level keeps: by operator new (the program's own code) and by SDL's
// allocator (the font library's rendering of changed text).
void BM_LevelFrameAllocations(benchmark::State& state) {
    constexpr int kWarmUpFrames = 100;
    withLevel(state, [&](GameManager& game) {
        for (int i = 0; i < kWarmUpFrames; ++i)
            game.levelFrame();
        const AllocationCounts before = allocationCounts();
        for (auto _ : state)
            game.levelFrame();
        const AllocationCounts after = allocationCounts();
        const double frames = static_cast<double>(state.iterations());
        state.counters["newPerFrame"] =
            static_cast<double>(after.operatorNew - before.operatorNew) / frames;
        state.counters["sdlPerFrame"] = static_cast<double>(after.sdl - before.sdl) / frames;
        state.counters["messageShown"] = game.messageShown() ? 1 : 0;
    });
}
BENCHMARK(BM_LevelFrameAllocations)->Unit(benchmark::kMicrosecond)->Iterations(2000);

} // namespace
