// Counts of heap allocations made in the benchmark executable: every
// operator new (the hook lives in this executable only), and every
// allocation through SDL's allocator once countSdlAllocations has run.
#pragma once

#include <cstdint>

struct AllocationCounts {
    uint64_t operatorNew = 0;
    uint64_t sdl = 0;
};

AllocationCounts allocationCounts();
