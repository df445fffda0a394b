// Tile maps: loading a large map onto a 16-bit screen, drawing the game's
// 640x460 map window, and the opaque copy of that window's bytes that
// drawing cannot beat.
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/HeadlessPlatform.h"
#include "map/FmpWriter.h"
#include "map/TileMap.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

constexpr int kScreenWidth = 640, kScreenHeight = 480;
constexpr int kWindowWidth = 640, kWindowHeight = 460, kWindowTop = 20;
const GfxPixelFormat k565 = GfxPixelFormat::forDepth(16);

// A desktop in 16-bit colour, so that the screen's surfaces are 16-bit.
class SixteenBitDesktop : public HeadlessPlatform {
public:
    void desktopSize(int& width, int& height, int& bitsPerPixel) const override {
        width = kScreenWidth;
        height = kScreenHeight;
        bitsPerPixel = 16;
    }
};

// A map of 20x20 blocks at 16 bits, each graphic a different pattern and
// the cells spread over all of them.
FmpMap makeMap(int width, int height, int graphics) {
    FmpMap map;
    map.mapWidth = static_cast<uint16_t>(width);
    map.mapHeight = static_cast<uint16_t>(height);
    map.blockWidth = map.blockHeight = 20;
    map.blockDepth = 16;
    for (int k = 0; k < graphics; ++k) {
        std::vector<uint32_t> graphic;
        for (int i = 0; i < 400; ++i)
            graphic.push_back(static_cast<uint32_t>(k * 0x010307 + i * 0x000101) & 0xFFFFFF);
        map.graphics.push_back(graphic);
        FmpBlockRecord record;
        record.graphics[0] = k * map.graphicSize();
        map.blocks.push_back(record);
    }
    for (int i = 0; i < width * height; ++i)
        map.layers[0].push_back(static_cast<int16_t>((i * 7) % graphics));
    return map;
}

// The map written once to a file of its own, removed at the end.
class MapFile {
public:
    explicit MapFile(const FmpMap& map)
        : path_((std::filesystem::temp_directory_path() /
                 ("lurvane-mapbench-" + std::to_string(::getpid()) + ".fmp"))
                    .string()) {
        ok_ = writeFmpFile(map, path_);
    }
    ~MapFile() { std::remove(path_.c_str()); }
    const char* path() const { return path_.c_str(); }
    bool ok() const { return ok_; }

private:
    std::string path_;
    bool ok_ = false;
};

void BM_MapLoad(benchmark::State& state) {
    const MapFile file(makeMap(256, 256, 500));
    SixteenBitDesktop desktop;
    GfxScreen screen(&desktop);
    TileMap map;
    if (!file.ok()) {
        state.SkipWithError("cannot write the map file");
        return;
    }
    for (auto _ : state) {
        if (map.load(&screen, file.path(), 0, kWindowTop, kWindowWidth, kWindowHeight) != 0) {
            state.SkipWithError("the map does not load");
            return;
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 256 * 256);
}
BENCHMARK(BM_MapLoad)->Unit(benchmark::kMillisecond);

// The arguments are the scroll offsets within a block across and down: 0
// draws whole blocks only, 7 and 13 cut the blocks at the window's edges.
void BM_MapDraw(benchmark::State& state) {
    const MapFile file(makeMap(64, 48, 40));
    SixteenBitDesktop desktop;
    GfxScreen screen(&desktop);
    TileMap map;
    GfxSurface target;
    if (!file.ok() ||
        map.load(&screen, file.path(), 0, kWindowTop, kWindowWidth, kWindowHeight) != 0 ||
        target.Create(&screen, kScreenWidth, kScreenHeight, kSurfaceMemorySystem, k565) != 0) {
        state.SkipWithError("cannot set up the map");
        return;
    }
    map.setScroll(200 + static_cast<int>(state.range(0)), 100 + static_cast<int>(state.range(1)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(map.draw(&target));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kWindowWidth * kWindowHeight * 2);
}
BENCHMARK(BM_MapDraw)->ArgsProduct({{0, 7, 13}, {0, 7, 13}});

void BM_OpaqueCopy460(benchmark::State& state) {
    GfxSurface source, target;
    source.Create(nullptr, kWindowWidth, kWindowHeight, kSurfaceMemorySystem, k565);
    target.Create(nullptr, kScreenWidth, kScreenHeight, kSurfaceMemorySystem, k565);
    source.FillAll(0x1234);
    for (auto _ : state) {
        source.DrawOpaque(&target, 0, kWindowTop);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kWindowWidth * kWindowHeight * 2);
}
BENCHMARK(BM_OpaqueCopy460);

} // namespace
