#include "synth/oscillators.h"

#include <array>

const float* sineTable() {
    static const std::array<float, sineTableSize + 1> table = [] {
        std::array<float, sineTableSize + 1> t{};
        for (int i = 0; i <= sineTableSize; ++i) t[size_t(i)] = float(std::sin(twoPi * i / sineTableSize));
        return t;
    }();
    return table.data();
}
