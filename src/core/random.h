// The game's one pseudo-random generator: a seedable 15-bit linear
// congruential generator, so that rolls are reproducible from a seed.
#pragma once

#include <cstdint>

// Next value modulo n (C remainder, so a negative n gives 0 to |n| - 1);
// n = 0 gives 0 without drawing.
int random(int n);
// The raw next 15-bit value (0-32767).
int random_next();
void random_seed(uint32_t seed);
uint32_t random_state();
