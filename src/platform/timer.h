// Millisecond timer of the show: an unsigned 32-bit count that advances
// steadily and wraps at 2^32, as a multimedia timer does.
//
// The count comes from the monotonic clock unless a manual timer is in use.
// Tests and the offline capture tool use the manual timer to drive show time
// exactly; the show itself never does. The count may be read from any thread
// (the sound library's mixing thread reads it through the show clock).
#pragma once

#include <cstdint>

// The current count in milliseconds.
uint32_t timerMilliseconds();

// Switches to a manual timer standing at `startMilliseconds`. From then on
// the count changes only through setManualTimer and advanceManualTimer.
void useManualTimer(uint32_t startMilliseconds);
void setManualTimer(uint32_t milliseconds);
// Adds `milliseconds`, wrapping modulo 2^32.
void advanceManualTimer(uint32_t milliseconds);

// Goes back to the monotonic clock.
void useSystemTimer();
