#include "platform/random.h"

#include <cstdint>

namespace {
uint32_t state = 1;
}

void seedRandom(unsigned seed) { state = seed; }

int randomInt() {
    // A linear congruential generator; the high bits of the state are the
    // well-mixed ones, so the 15 output bits come from there.
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state >> 16) & 0x7fffu);
}
