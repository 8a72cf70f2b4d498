// The ring walked from empty to one slot, to full, to lapped, every index
// checked at every step; a ring two elements wide, so that an index that
// forgets the width shows.
#include "platform/sound/spsc_ring.h"

#include <gtest/gtest.h>

#include <type_traits>

static_assert(!std::is_copy_constructible_v<SpscRing<int>>);
static_assert(!std::is_move_constructible_v<SpscRing<int>>);

namespace {

struct Walk : ::testing::Test {
    SpscRing<int> ring{4, 2};
    int64_t count = -1;
    int64_t contiguous = -1;
    const int* base = ring.at(0, contiguous);

    // Where writable puts the next slot, and how many it offers from there.
    void expectWritable(int64_t index, int64_t slots) {
        EXPECT_EQ(ring.writable(count), base + 2 * index);
        EXPECT_EQ(count, slots);
    }
    // Writes slot `slot` as (10 * slot, 10 * slot + 1).
    void write(int64_t slot) {
        int* at = ring.writable(count);
        ASSERT_GT(count, 0);
        at[0] = int(10 * slot);
        at[1] = int(10 * slot + 1);
        ring.commit(1);
    }
    // Every slot in [first, last) where it belongs, holding what write put.
    void expectSlots(int64_t first, int64_t last) {
        for (int64_t slot = first; slot < last; ++slot) {
            SCOPED_TRACE(slot);
            const int* at = ring.at(slot, contiguous);
            EXPECT_EQ(at, base + 2 * (slot % 4));
            EXPECT_EQ(contiguous, 4 - slot % 4);
            EXPECT_EQ(at[0], 10 * slot);
            EXPECT_EQ(at[1], 10 * slot + 1);
        }
    }
};

TEST_F(Walk, EmptyOneFullLapped) {
    expectWritable(0, 4);
    write(0);
    EXPECT_EQ(ring.written(), 1);
    expectWritable(1, 3);
    expectSlots(0, 1);
    for (int64_t slot = 1; slot < 4; ++slot) write(slot);
    expectWritable(0, 0);
    expectSlots(0, 4);
    ring.release(1);
    expectWritable(0, 1);
    write(4);
    expectWritable(1, 0);
    expectSlots(1, 5);
    ring.release(3);
    ring.release(2);
    EXPECT_EQ(ring.released(), 3) << "a release never moves back";
    expectWritable(1, 2);
}

TEST_F(Walk, AConsumerAheadOfTheProducerLetsItWriteUpToTheEndOfTheArray) {
    write(0);
    ring.release(9);
    expectWritable(1, 3);
}

}  // namespace
