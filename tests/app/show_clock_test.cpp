// Show time from the millisecond timer: the float thousandth, the wrap of
// the 32-bit count, and the resets from the music's sync point.
#include "app/shell.h"
#include "app/show_clock.h"
#include "platform/timer.h"

#include <gtest/gtest.h>

struct ShowClockTest : ::testing::Test {
    void TearDown() override { useSystemTimer(); }
};

TEST_F(ShowClockTest, ElapsedMillisecondsTimesTheFloatThousandthAcrossTheWrap) {
    const struct {
        uint32_t resetAt, nowAt;
        float expected;
    } cases[] = {
        {1000, 1000, 0.0f},
        {1000, 1001, 0.001f},
        // 60000 * 0.0010000000474974513 rounds to the float above 60.
        {1000, 61000, 60.000004f},
        // 500 ms before the wrap to 1000 ms after it.
        {UINT32_MAX - 499, 1000, 1.5000001f},
        // An elapsed count with the top bit set is still positive.
        {0, 0x80000000u, 2147483.75f},
    };
    for (const auto& c : cases) {
        ShowClock clock;
        useManualTimer(c.resetAt);
        clock.reset();
        setManualTimer(c.nowAt);
        EXPECT_EQ(clock.now(), c.expected) << c.resetAt << " to " << c.nowAt;
    }
}

TEST_F(ShowClockTest, EveryPassOverTheSyncPointZeroesTheShowClock) {
    useManualTimer(10000);
    showClock.reset();
    setManualTimer(10250);
    EXPECT_EQ(showClock.now(), 0.25f);
    for (int pass = 0; pass < 2; ++pass) {  // not only the first pass
        EXPECT_EQ(onSyncPoint(nullptr, nullptr, 0, nullptr), 0);
        EXPECT_EQ(showClock.now(), 0.0f);
        advanceManualTimer(1750);
        EXPECT_EQ(showClock.now(), 1.7500001f);
    }
}
