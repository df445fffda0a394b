// The game's random numbers: the standard library's generator, so that a
// seeded run repeats exactly.
#pragma once

// A number from 0 to n inclusive.
int Random(int n);
// A number from low to high inclusive.
int RandomRange(int low, int high);
void SeedRandom(unsigned seed);
