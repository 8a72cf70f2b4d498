// The system timer counts the milliseconds that really pass.
#include "platform/timer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

TEST(SystemTimer, AdvancesWithTheMonotonicClock) {
    useSystemTimer();
    const auto started = std::chrono::steady_clock::now();
    const uint32_t first = timerMilliseconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const uint32_t counted = timerMilliseconds() - first;  // unsigned: across the wrap too
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    // The two pairs of reads are not simultaneous; a preempted test may see
    // them some milliseconds apart, never hundreds.
    EXPECT_NEAR(static_cast<double>(counted), static_cast<double>(elapsed.count()), 20.0);
}
