// The ring walked from empty to one slot, to full, to lapped, every index
// checked at every step; a ring two elements wide, so that an index that
// forgets the width shows.
#include "platform/sound/spsc_ring.h"

#include <gtest/gtest.h>

#include <type_traits>

static_assert(!std::is_copy_constructible_v<SpscRing<int>>);
static_assert(!std::is_move_constructible_v<SpscRing<int>>);

TEST(SpscRing, WalksEmptyOneFullLapped) {
    SpscRing<int> ring{4, 2};
    int64_t count = 0, contiguous = 0;
    const int* base = ring.at(0, contiguous);
    // Write `write` slots (slot n holds 10n, 10n + 1), or release up to
    // `release`; then where the next slot goes and how many may follow.
    const struct { int64_t write, release, index, writable; } steps[] = {
        {0, 0, 0, 4}, {1, 0, 1, 3}, {3, 0, 0, 0}, {0, 1, 0, 1}, {1, 0, 1, 0}, {0, 3, 1, 2}, {0, 2, 1, 2},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(&step - steps);
        for (int64_t k = 0; k < step.write; ++k) {
            int* at = ring.writable(count);
            ASSERT_GT(count, 0);
            at[0] = int(10 * ring.written());
            at[1] = int(10 * ring.written() + 1);
            ring.commit(1);
        }
        ring.release(step.release);
        EXPECT_EQ(ring.writable(count), base + 2 * step.index);
        EXPECT_EQ(count, step.writable);
        for (int64_t slot = ring.released(); slot < ring.written(); ++slot) {
            const int* at = ring.at(slot, contiguous);
            EXPECT_EQ(at, base + 2 * (slot % 4)) << slot;
            EXPECT_EQ(contiguous, 4 - slot % 4) << slot;
            EXPECT_EQ(at[0], 10 * slot) << slot;
            EXPECT_EQ(at[1], 10 * slot + 1) << slot;
        }
    }
    EXPECT_EQ(ring.released(), 3) << "a release never moves back";
}
