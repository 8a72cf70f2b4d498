// One entry of the timeline's event list: the start or the stop of an
// effect's interval.
#pragma once

class Effect;

struct TimelineEvent {
    float time;      // seconds of show time
    Effect* effect;  // not owned by the event
    bool isStart;
};
