// The ring walked from empty to one slot, to full, to lapped, every index
// checked at every step; a ring two slots wide, so that an index that
// forgets the width shows.
#include "platform/sound/spsc_ring.h"

#include <gtest/gtest.h>

#include <type_traits>

static_assert(!std::is_copy_constructible_v<SpscRing<int>>);
static_assert(!std::is_copy_assignable_v<SpscRing<int>>);
static_assert(!std::is_move_constructible_v<SpscRing<int>>);

namespace {

struct Walk : ::testing::Test {
    SpscRing<int> ring{4, 2};
    const int* base = ring.at(0, contiguous);
    int64_t count = -1;
    int64_t contiguous = -1;
    // Writes slot `slot` as (10 * slot, 10 * slot + 1) where writable puts it.
    void write(int64_t slot) {
        int* at = ring.writable(count);
        ASSERT_GT(count, 0);
        at[0] = int(10 * slot);
        at[1] = int(10 * slot + 1);
        ring.commit(1);
    }
    void expectSlot(int64_t slot, int64_t index) {
        const int* at = ring.at(slot, contiguous);
        EXPECT_EQ(at, base + 2 * index) << "slot " << slot;
        EXPECT_EQ(contiguous, 4 - index) << "slot " << slot;
        EXPECT_EQ(at[0], 10 * slot) << "slot " << slot;
        EXPECT_EQ(at[1], 10 * slot + 1) << "slot " << slot;
    }
};

}  // namespace

TEST_F(Walk, AnEmptyRingOffersEverySlotFromIndexZero) {
    EXPECT_EQ(ring.written(), 0);
    EXPECT_EQ(ring.writable(count), base);
    EXPECT_EQ(count, 4);
}

TEST_F(Walk, OneSlotIsPublishedAndTheRestStaysWritable) {
    write(0);
    EXPECT_EQ(ring.written(), 1);
    EXPECT_EQ(ring.writable(count), base + 2);
    EXPECT_EQ(count, 3);
    expectSlot(0, 0);
}

TEST_F(Walk, AFullRingOffersNothingUntilASlotIsReleased) {
    for (int64_t slot = 0; slot < 4; ++slot) write(slot);
    EXPECT_EQ(ring.written(), 4);
    ring.writable(count);
    EXPECT_EQ(count, 0);
    for (int64_t slot = 0; slot < 4; ++slot) expectSlot(slot, slot);
}

TEST_F(Walk, ALappedRingWritesOnlyWhatWasReleased) {
    for (int64_t slot = 0; slot < 4; ++slot) write(slot);
    ring.release(1);
    EXPECT_EQ(ring.writable(count), base);
    EXPECT_EQ(count, 1);
    write(4);
    ring.writable(count);
    EXPECT_EQ(count, 0);
    for (int64_t slot = 1; slot < 5; ++slot) expectSlot(slot, slot % 4);
    ring.release(3);
    ring.release(2);
    EXPECT_EQ(ring.released(), 3) << "a release never moves back";
    EXPECT_EQ(ring.writable(count), base + 2);
    EXPECT_EQ(count, 2);
}

TEST_F(Walk, AConsumerAheadOfTheProducerLetsItWriteUpToTheEndOfTheArray) {
    write(0);
    ring.release(9);
    EXPECT_EQ(ring.writable(count), base + 2);
    EXPECT_EQ(count, 3);
}
