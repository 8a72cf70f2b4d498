// The browser's timer: performance.now(), in whole milliseconds, wrapped to
// 32 bits. The manual timer is the desktop's, for the same callers.
#include "platform/timer.h"

#include <emscripten.h>

#include <cmath>

namespace {
bool manualTimerInUse = false;
uint32_t manualCount = 0;
}  // namespace

uint32_t timerMilliseconds() {
    if (manualTimerInUse) return manualCount;
    // performance.now() counts from the page's load, as a double.
    return static_cast<uint32_t>(std::fmod(std::floor(emscripten_get_now()), 4294967296.0));
}

void useManualTimer(uint32_t startMilliseconds) {
    manualCount = startMilliseconds;
    manualTimerInUse = true;
}

void setManualTimer(uint32_t milliseconds) { manualCount = milliseconds; }

void advanceManualTimer(uint32_t milliseconds) { manualCount += milliseconds; }

void useSystemTimer() { manualTimerInUse = false; }
