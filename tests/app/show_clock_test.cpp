// Show time from the millisecond timer: the float arithmetic, the wrap of
// the 32-bit count, and the resets from the music's sync point.
#include "app/shell.h"
#include "app/show_clock.h"
#include "platform/timer.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

class ShowClockTest : public ::testing::Test {
protected:
    void TearDown() override { useSystemTimer(); }
};

TEST_F(ShowClockTest, ConvertsWholeMillisecondsByTheFloatOneThousandth) {
    ShowClock clock;
    useManualTimer(1000);
    clock.reset();
    EXPECT_EQ(clock.now(), 0.0f);
    advanceManualTimer(1);
    EXPECT_EQ(clock.now(), 0.001f);
    setManualTimer(1000 + 60000);
    // 60000 * 0.0010000000474974513 = 60.0000028..., whose nearest float is
    // 60.0000038..., not 60.
    EXPECT_EQ(clock.now(), 60.000004f);
    EXPECT_NE(clock.now(), 60.0f);
}

TEST_F(ShowClockTest, ATimerWrapBetweenResetAndNowStillGivesTheElapsedTime) {
    ShowClock clock;
    useManualTimer(UINT32_MAX - 499);  // 500 ms before the wrap
    clock.reset();
    advanceManualTimer(1500);  // now 1000 ms past the wrap
    // 1500 ms times the float 0.001 rounds up to the next float above 1.5.
    EXPECT_EQ(clock.now(), 1.5000001f);
}

TEST_F(ShowClockTest, AnElapsedCountWithTheTopBitSetIsNotNegative) {
    ShowClock clock;
    useManualTimer(0);
    clock.reset();
    setManualTimer(0x80000000u);  // about 24.8 days
    EXPECT_GT(clock.now(), 2147483.0f);
}

TEST_F(ShowClockTest, EveryPassOverTheSyncPointZeroesTheShowClock) {
    useManualTimer(10000);
    showClock.reset();
    setManualTimer(10250);
    EXPECT_EQ(showClock.now(), 0.25f);

    EXPECT_EQ(onSyncPoint(nullptr, nullptr, 0, nullptr), 0);
    EXPECT_EQ(showClock.now(), 0.0f);

    setManualTimer(12000);
    EXPECT_EQ(showClock.now(), 1.7500001f);
    onSyncPoint(nullptr, nullptr, 0, nullptr);  // no guard lets only the first through
    EXPECT_EQ(showClock.now(), 0.0f);
}

}  // namespace
