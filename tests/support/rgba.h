// An 8-bit RGBA pixel as tests write it into PNG files and read it back from
// the frame buffer, with a gtest-friendly comparison.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace vesk_test {

struct Rgba {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    uint8_t a = 255;
};

inline bool operator==(const Rgba& x, const Rgba& y) { return x.r == y.r && x.g == y.g && x.b == y.b && x.a == y.a; }
inline bool operator!=(const Rgba& x, const Rgba& y) { return !(x == y); }

inline std::ostream& operator<<(std::ostream& out, const Rgba& p) {
    return out << "(" << int(p.r) << ", " << int(p.g) << ", " << int(p.b) << ", " << int(p.a) << ")";
}

// Passes when every channel of `actual` is within `tolerance` of `expected`.
// Rasterisers round blending and filtering differently by a step or two.
inline ::testing::AssertionResult rgbaNear(const Rgba& actual, const Rgba& expected, int tolerance = 2) {
    const int most = std::max({std::abs(actual.r - expected.r), std::abs(actual.g - expected.g),
                               std::abs(actual.b - expected.b), std::abs(actual.a - expected.a)});
    if (most <= tolerance) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual << " is not within " << tolerance << " of " << expected;
}

}  // namespace vesk_test
