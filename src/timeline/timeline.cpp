#include "timeline/timeline.h"

#include <cassert>
#include <cmath>
#include <cstdint>

bool Timeline::ByLayerThenAddress::operator()(const Effect* a, const Effect* b) const {
    if (a->layer != b->layer) return a->layer < b->layer;
    return reinterpret_cast<uintptr_t>(a) < reinterpret_cast<uintptr_t>(b);
}

Timeline::Timeline(const Clock& clock) : cursor(events.end()), clock(clock) {}

Timeline::~Timeline() {
    // Only a show closed before its end leaves effects here: the rest of the
    // events deletes each of them at its last stop.
    for (; cursor != events.end(); ++cursor) process(*cursor);
}

// Whether an effect added before is still held when the new span starts,
// or held again by it before its earlier spans begin: a gap between spans
// would delete the effect at the first one's stop. A walk over all events,
// so only in debug builds.
bool Timeline::overlapsEarlierSpans(const Effect* effect, float start, float stopTime) const {
    bool added = false, startsBeforeStop = false, stopsAfterStart = false;
    for (const TimelineEvent& event : events) {
        if (event.effect != effect) continue;
        added = true;
        if (event.isStart && event.time <= stopTime) startsBeforeStop = true;
        if (!event.isStart && start < event.time) stopsAfterStart = true;
    }
    return !added || (startsBeforeStop && stopsAfterStart);
}

void Timeline::add(int32_t layer, float start, float end, Effect* effect) {
    const float stopTime = end - 0.0001f;
    // A stop that sorts before its start would leave the effect active for
    // ever; after events were processed, the rewound cursor would process
    // them again.
    assert(effect && std::isfinite(start) && std::isfinite(end) && stopTime >= start && cursor == events.begin() &&
           overlapsEarlierSpans(effect, start, stopTime) &&
           "Timeline::add: add every effect before the first run, for a span of at least 0.0001 s; to show an "
           "effect again after its span has ended, add a new effect");
    effect->layer = layer;
    events.insert(events.upper_bound(TimelineEvent{start, nullptr, true}), TimelineEvent{start, effect, true});
    events.insert(events.upper_bound(TimelineEvent{stopTime, nullptr, false}), TimelineEvent{stopTime, effect, false});
    effect->schedule(start, end);
    cursor = events.begin();
}

void Timeline::process(const TimelineEvent& event) {
    Effect* effect = event.effect;
    if (event.isStart) {
        ++startCounts[effect];
        active.insert(effect);
        return;
    }
    if (--startCounts[effect] != 0) return;
    startCounts.erase(effect);
    active.erase(effect);
    delete effect;
}

bool Timeline::run() {
    if (cursor == events.end()) return false;
    const float now = clock.now();
    while (cursor->time <= now) {
        process(*cursor);
        ++cursor;
        if (cursor == events.end()) return false;
    }
    for (Effect* effect : active) {
        effect->update(now);
        effect->draw();
    }
    return true;
}
