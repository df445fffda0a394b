// The blitter against memcpy and against SDL's own blitter, on the same
// sizes in the same 16-bit 5-6-5 format.
#include "gfx/GfxSurface.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr int kSprites = 1000, kSpriteSize = 20;
const GfxPixelFormat k565 = GfxPixelFormat::forDepth(16);

// A sprite with a keyed border and a pattern inside.
void drawSprite(GfxSurface& sprite) {
    sprite.FillAll(0);
    sprite.Lock();
    for (int y = 3; y < kSpriteSize - 3; ++y)
        for (int x = 3; x < kSpriteSize - 3; ++x)
            sprite.PutPixel(x, y, static_cast<uint32_t>(0x1000 + x * 97 + y * 31));
    sprite.Unlock();
}

// Sprite positions spread over the screen, a few cut by its edges.
int spriteX(int i) {
    return (i * 37) % (kWidth + 10) - 5;
}
int spriteY(int i) {
    return (i * 53) % (kHeight + 10) - 5;
}

void BM_OpaqueCopy(benchmark::State& state) {
    GfxSurface source, dest;
    source.Create(nullptr, kWidth, kHeight, kSurfaceMemorySystem, k565);
    dest.Create(nullptr, kWidth, kHeight, kSurfaceMemorySystem, k565);
    source.FillAll(0x1234);
    for (auto _ : state) {
        source.DrawOpaque(&dest, 0, 0);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 2);
}
BENCHMARK(BM_OpaqueCopy);

void BM_Memcpy(benchmark::State& state) {
    std::vector<uint16_t> source(static_cast<size_t>(kWidth) * kHeight, 0x1234);
    std::vector<uint16_t> dest(source.size());
    for (auto _ : state) {
        std::memcpy(dest.data(), source.data(), source.size() * sizeof(uint16_t));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 2);
}
BENCHMARK(BM_Memcpy);

void BM_KeyedSprites(benchmark::State& state) {
    GfxSurface sprite, dest;
    sprite.Create(nullptr, kSpriteSize, kSpriteSize, kSurfaceMemorySystem, k565);
    dest.Create(nullptr, kWidth, kHeight, kSurfaceMemorySystem, k565);
    drawSprite(sprite);
    sprite.SetColorKey(0);
    for (auto _ : state) {
        for (int i = 0; i < kSprites; ++i)
            sprite.DrawKeyed(&dest, spriteX(i), spriteY(i));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kSprites);
}
BENCHMARK(BM_KeyedSprites);

void BM_SDLKeyedSprites(benchmark::State& state) {
    SDL_Surface* sprite =
        SDL_CreateRGBSurfaceWithFormat(0, kSpriteSize, kSpriteSize, 16, SDL_PIXELFORMAT_RGB565);
    SDL_Surface* dest =
        SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 16, SDL_PIXELFORMAT_RGB565);
    SDL_FillRect(sprite, nullptr, 0);
    SDL_LockSurface(sprite);
    for (int y = 3; y < kSpriteSize - 3; ++y)
        for (int x = 3; x < kSpriteSize - 3; ++x)
            reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(sprite->pixels) +
                                        y * sprite->pitch)[x] =
                static_cast<uint16_t>(0x1000 + x * 97 + y * 31);
    SDL_UnlockSurface(sprite);
    SDL_SetColorKey(sprite, SDL_TRUE, 0);
    for (auto _ : state) {
        for (int i = 0; i < kSprites; ++i) {
            SDL_Rect to = {spriteX(i), spriteY(i), kSpriteSize, kSpriteSize};
            SDL_BlitSurface(sprite, nullptr, dest, &to);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kSprites);
    SDL_FreeSurface(sprite);
    SDL_FreeSurface(dest);
}
BENCHMARK(BM_SDLKeyedSprites);

void BM_Fill(benchmark::State& state) {
    GfxSurface dest;
    dest.Create(nullptr, kWidth, kHeight, kSurfaceMemorySystem, k565);
    for (auto _ : state) {
        dest.FillAll(0x4321);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 2);
}
BENCHMARK(BM_Fill);

void BM_SDLFill(benchmark::State& state) {
    SDL_Surface* dest =
        SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 16, SDL_PIXELFORMAT_RGB565);
    for (auto _ : state) {
        SDL_FillRect(dest, nullptr, 0x4321);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 2);
    SDL_FreeSurface(dest);
}
BENCHMARK(BM_SDLFill);

} // namespace
