// A small deterministic pseudo-random generator (xorshift32), so that the
// generated files are the same on every run. Each picture and sound seeds
// its own.
#pragma once

#include <cstdint>

class Random {
public:
    explicit Random(uint32_t seed) : state(seed ? seed : 0x9e3779b9u) {}

    uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    // Uniform in [0, 1).
    double unit() { return (next() >> 8) * (1.0 / 16777216.0); }
    // Uniform in [low, high).
    double between(double low, double high) { return low + (high - low) * unit(); }
    // Uniform in [-1, 1).
    double bipolar() { return between(-1.0, 1.0); }

private:
    uint32_t state;
};
