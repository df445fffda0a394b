#include "lib/Random.h"

#include <cstdlib>

int Random(int n) {
    if (n <= 0)
        return 0;
    return std::rand() % (n + 1);
}

int RandomRange(int low, int high) {
    return low + Random(high - low);
}

void SeedRandom(unsigned seed) {
    std::srand(seed);
}
