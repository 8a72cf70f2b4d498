#include "platform/timer.h"

#include <atomic>
#include <ctime>

namespace {

std::atomic<bool> manualTimerInUse(false);
std::atomic<uint32_t> manualCount(0);

uint32_t monotonicMilliseconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    // Truncating to 32 bits gives the wrap at 2^32 ms for free.
    uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

}  // namespace

uint32_t timerMilliseconds() {
    if (manualTimerInUse.load(std::memory_order_acquire)) return manualCount.load(std::memory_order_relaxed);
    return monotonicMilliseconds();
}

void useManualTimer(uint32_t startMilliseconds) {
    manualCount.store(startMilliseconds, std::memory_order_relaxed);
    manualTimerInUse.store(true, std::memory_order_release);
}

void setManualTimer(uint32_t milliseconds) { manualCount.store(milliseconds, std::memory_order_relaxed); }

void advanceManualTimer(uint32_t milliseconds) { manualCount.fetch_add(milliseconds, std::memory_order_relaxed); }

void useSystemTimer() { manualTimerInUse.store(false, std::memory_order_release); }
