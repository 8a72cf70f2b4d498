// The system timer counts the milliseconds that really pass.
#include "platform/timer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

TEST(SystemTimer, AdvancesWithTheMonotonicClock) {
    using Clock = std::chrono::steady_clock;
    const auto milliseconds = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
    useSystemTimer();
    // Each timer read is bracketed by clock reads, so that a test preempted
    // between them still knows the interval it measured.
    const Clock::time_point before0 = Clock::now();
    const uint32_t first = timerMilliseconds();
    const Clock::time_point after0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const Clock::time_point before1 = Clock::now();
    const uint32_t counted = timerMilliseconds() - first;  // unsigned: across the wrap too
    const Clock::time_point after1 = Clock::now();
    // Whole milliseconds: each read may lose up to one.
    EXPECT_GE(counted, milliseconds(before1 - after0) - 1);
    EXPECT_LE(counted, milliseconds(after1 - before0) + 1);
}
