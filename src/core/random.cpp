#include "core/random.h"

namespace {
uint32_t state = 1;
}

int random_next() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}

int random(int n) {
    if (n == 0) return 0;
    return random_next() % n;
}

void random_seed(uint32_t seed) {
    state = seed;
}

uint32_t random_state() {
    return state;
}
