// What the timeline reads show time from: seconds as a float, read once per
// run. The show's clock is ShowClock (app/show_clock.h); tests and tools
// hand in their own.
#pragma once

class Clock {
public:
    virtual float now() const = 0;

protected:
    ~Clock() = default;
};
