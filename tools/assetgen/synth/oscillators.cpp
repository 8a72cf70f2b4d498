#include "synth/oscillators.h"

#include <array>

namespace {

constexpr int tableSize = 4096;

// One cycle of the sine plus a guard entry, so that interpolation never
// wraps.
const std::array<float, tableSize + 1>& sineTable() {
    static const std::array<float, tableSize + 1> table = [] {
        std::array<float, tableSize + 1> t{};
        for (int i = 0; i <= tableSize; ++i) t[size_t(i)] = float(std::sin(twoPi * i / tableSize));
        return t;
    }();
    return table;
}

}  // namespace

double sineOfCycles(double cycles) {
    const auto& table = sineTable();
    double position = (cycles - std::floor(cycles)) * tableSize;
    int index = int(position);
    if (index >= tableSize) index = tableSize - 1;
    double fraction = position - index;
    return table[size_t(index)] + (table[size_t(index) + 1] - table[size_t(index)]) * fraction;
}
