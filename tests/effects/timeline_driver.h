// A timeline with a clock of its own, driven by the manual timer, so that a
// test decides the show time of every frame (whole milliseconds).
#pragma once

#include "app/show_clock.h"
#include "platform/timer.h"
#include "timeline/timeline.h"

#include <cstdint>

class TimelineDriver {
public:
    TimelineDriver() : timeline(clock) {
        useManualTimer(0);
        clock.reset();
    }
    ~TimelineDriver() { useSystemTimer(); }

    // Runs one frame at `milliseconds` of show time; returns run()'s answer.
    bool frameAt(uint32_t milliseconds) {
        setManualTimer(milliseconds);
        return timeline.run();
    }

    ShowClock clock;
    Timeline timeline;
};
