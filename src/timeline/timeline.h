// The show's scheduler. During set-up the script hands it each effect with a
// layer and an interval; then the frame loop calls run() once per frame,
// which starts due effects, retires and deletes finished ones, and updates
// and draws the running ones in layer order.
//
// Ownership: add takes the effect; the timeline deletes it when the stop of
// its last interval is processed, or at the timeline's destruction if it is
// still held then (a show closed early).
//
// Single-threaded: add and run on the thread of the window toolkit's loop.
#pragma once

#include "timeline/clock.h"
#include "timeline/effect.h"
#include "timeline/timeline_event.h"

#include <cstdint>
#include <map>
#include <set>

class Timeline {
public:
    struct ByTime {
        bool operator()(const TimelineEvent& a, const TimelineEvent& b) const { return a.time < b.time; }
    };
    struct ByLayerThenAddress {
        bool operator()(const Effect* a, const Effect* b) const;
    };
    typedef std::multiset<TimelineEvent, ByTime> EventList;

    // The process-wide timeline's form: reads the show clock. Defined with
    // the process-wide objects (scene/scene_globals.cpp), which own the clock.
    Timeline();
    // Reads show time from `clock`, which must outlive the timeline.
    explicit Timeline(const Clock& clock);
    ~Timeline();

    // Schedules `effect` on `layer` from `start` to `end` seconds: a start
    // event at start, a stop event at end - 0.0001, then effect->schedule.
    // An effect may be added again for a span that overlaps its earlier ones.
    // Only before the first run that processes an event, with a non-null
    // effect and a finite span of at least 0.0001 s; debug builds stop at an
    // assertion otherwise.
    void add(int32_t layer, float start, float end, Effect* effect);

    // One frame: reads the clock once, processes every due event in time
    // order, then updates and draws each active effect. Returns false once
    // the last event has been processed (nothing is updated or drawn then).
    bool run();

    // Read-only views, for tests and tools.
    const EventList& scheduledEvents() const { return events; }
    const std::set<Effect*, ByLayerThenAddress>& activeEffects() const { return active; }

    Timeline(const Timeline&) = delete;
    Timeline& operator=(const Timeline&) = delete;

private:
    void process(const TimelineEvent& event);
    bool overlapsEarlierSpans(const Effect* effect, float start, float stopTime) const;

    EventList events;  // ordered by time, insertion order among equals
    EventList::iterator cursor;
    std::map<Effect*, int32_t> startCounts;
    std::set<Effect*, ByLayerThenAddress> active;

    const Clock& clock;
};

// The show's one timeline.
extern Timeline timeline;
