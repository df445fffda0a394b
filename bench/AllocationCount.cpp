#include "bench/AllocationCount.h"

#include <SDL.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<uint64_t> newCount{0};
std::atomic<uint64_t> sdlCount{0};

SDL_malloc_func sdlMalloc = nullptr;
SDL_calloc_func sdlCalloc = nullptr;
SDL_realloc_func sdlRealloc = nullptr;
SDL_free_func sdlFree = nullptr;

void* countedMalloc(size_t size) {
    ++sdlCount;
    return sdlMalloc(size);
}
void* countedCalloc(size_t count, size_t size) {
    ++sdlCount;
    return sdlCalloc(count, size);
}
void* countedRealloc(void* block, size_t size) {
    ++sdlCount;
    return sdlRealloc(block, size);
}
void countedFree(void* block) {
    sdlFree(block);
}

// SDL's allocator is wrapped before main: blocks it handed out before keep
// going back to the same free.
const bool sdlCounted = [] {
    SDL_GetMemoryFunctions(&sdlMalloc, &sdlCalloc, &sdlRealloc, &sdlFree);
    return SDL_SetMemoryFunctions(countedMalloc, countedCalloc, countedRealloc, countedFree) == 0;
}();

void* allocate(size_t size) {
    ++newCount;
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

} // namespace

AllocationCounts allocationCounts() {
    return {newCount.load(), sdlCounted ? sdlCount.load() : 0};
}

void* operator new(size_t size) {
    return allocate(size);
}
void* operator new[](size_t size) {
    return allocate(size);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, size_t) noexcept {
    std::free(block);
}
