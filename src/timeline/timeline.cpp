#include "timeline/timeline.h"

#include <cmath>
#include <cstdint>

bool Timeline::ByLayerThenAddress::operator()(const Effect* a, const Effect* b) const {
    if (a->layer != b->layer) return a->layer < b->layer;
    return reinterpret_cast<uintptr_t>(a) < reinterpret_cast<uintptr_t>(b);
}

Timeline::Timeline(const Clock& clock) : cursor(events.end()), clock(clock) {}

Timeline::~Timeline() {
    // Only a show closed before its end leaves effects here.
    for (Effect* effect : owned) delete effect;
}

bool Timeline::add(int32_t layer, float start, float end, Effect* effect) {
    if (!effect) return false;
    const float stopTime = end - 0.0001f;
    // After the first run the cursor has moved on, and an effect that was
    // already deleted could come back; a stop that sorts before its start
    // would leave the effect active for ever. None of these can be honoured.
    if (running || !std::isfinite(start) || !std::isfinite(end) || !(stopTime >= start)) {
        // A refused effect is ours to delete, unless it is still scheduled or
        // its address is that of one we deleted: deleting that again would
        // be a double free, so a new effect at a reused address is leaked.
        if (owned.count(effect) == 0 && retired.count(effect) == 0) delete effect;
        return false;
    }
    effect->layer = layer;
    events.insert(events.upper_bound(TimelineEvent{start, nullptr, true}), TimelineEvent{start, effect, true});
    events.insert(events.upper_bound(TimelineEvent{stopTime, nullptr, false}), TimelineEvent{stopTime, effect, false});
    owned.insert(effect);
    effect->schedule(start, end);
    cursor = events.begin();
    return true;
}

void Timeline::process(const TimelineEvent& event) {
    Effect* effect = event.effect;
    // An effect added for two intervals that do not overlap is deleted at the
    // end of the first; the events of the second are skipped.
    if (owned.count(effect) == 0) return;
    if (event.isStart) {
        ++startCounts[effect];
        active.insert(effect);
        return;
    }
    if (--startCounts[effect] != 0) return;
    startCounts.erase(effect);
    active.erase(effect);
    owned.erase(effect);
    retired.insert(effect);
    delete effect;
}

bool Timeline::run() {
    running = true;
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
