// Anything that happens during an interval of show time. The timeline owns
// every effect from Timeline::add on, calls schedule once inside add, then
// update(now) and at once draw() in every frame of the interval, and deletes
// the effect at the end of it.
//
// update and draw run on the GL thread; they must neither add effects to the
// timeline nor delete effects. draw leaves the matrix stack as it found it.
#pragma once

#include <cstdint>

class Effect {
public:
    virtual ~Effect() {}
    // `start` and `end` are the interval given to add, in seconds.
    virtual void schedule(float start, float end) = 0;
    // `now` is the frame's show time in seconds, start <= now < end - 0.0001.
    virtual void update(float now) = 0;
    virtual void draw() = 0;

    // Drawing order: lower layers first. Written by Timeline::add only.
    int32_t layer = 0;
};
