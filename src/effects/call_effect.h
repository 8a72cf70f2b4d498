// Makes one bound call at a moment of the show: the sound cues (a sample
// starting, the music muted or unmuted). Draws nothing and touches no GL
// state.
#pragma once

#include "platform/sound/fsound.h"
#include "timeline/effect.h"

#include <boost/function.hpp>

class CallEffect : public Effect {
public:
    // Copies `action`, which owns copies of its bound arguments.
    explicit CallEffect(const boost::function<void()>& action);

    // Nothing: the span is the timeline's affair.
    void schedule(float start, float end) override;
    // Calls `action` on the first update only; `now` is unused. The flag is
    // set before the call. An empty action is skipped.
    void update(float now) override;
    void draw() override;

    bool fired = false;
    boost::function<void()> action;
};

// A new cue that calls FSOUND_Stream_Play(channel, stream). The caller hands
// it to the timeline, which owns it.
CallEffect* makePlayEffect(FSOUND_STREAM* stream, int channel);
