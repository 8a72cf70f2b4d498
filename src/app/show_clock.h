// Show time: seconds as a float since the last reset, from the millisecond
// timer. Reset just before the music starts and again from the music's sync
// point on the sound library's mixing thread; read once per frame by the
// timeline. The base is one 32-bit word, stored and loaded atomically, so a
// frame sees either the old or the new base and no lock is needed.
#pragma once

#include "platform/timer.h"
#include "timeline/clock.h"

#include <atomic>
#include <cstdint>

class ShowClock : public Clock {
public:
    void reset() { base.store(timerMilliseconds(), std::memory_order_relaxed); }

    // Elapsed milliseconds wrap modulo 2^32, so a timer wrap between reset
    // and now still gives the true elapsed time. The product with the float
    // 0.001 (not a division by 1000) is rounded to float: 60000 ms gives
    // 60.000004 s.
    float now() const override {
        const uint32_t elapsed = timerMilliseconds() - base.load(std::memory_order_relaxed);
        return static_cast<float>(static_cast<double>(elapsed) * static_cast<double>(0.001f));
    }

private:
    std::atomic<uint32_t> base{0};
};

// The show's one clock.
inline ShowClock showClock;
