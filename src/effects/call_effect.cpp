#include "effects/call_effect.h"

#include <boost/bind/bind.hpp>

CallEffect::CallEffect(const boost::function<void()>& action) : action(action) {}

void CallEffect::schedule(float, float) {}

void CallEffect::update(float) {
    if (fired) return;
    fired = true;
    if (action) action();
}

void CallEffect::draw() {}

CallEffect* makePlayEffect(FSOUND_STREAM* stream, int channel) {
    return new CallEffect(boost::bind(&FSOUND_Stream_Play, channel, stream));
}
