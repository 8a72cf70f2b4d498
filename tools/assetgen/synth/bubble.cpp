#include "synth/bubble.h"

#include "synth/envelopes.h"
#include "synth/oscillators.h"

#include <algorithm>
#include <cmath>

Mono renderBubble(const BubbleSound& bubble) {
    size_t frames = frameAt(bubble.decaySeconds * 7);
    Mono out(frames);
    SineOscillator tone;
    SineOscillator overtone;
    for (size_t i = 0; i < frames; ++i) {
        double t = timeAt(i);
        double rise = std::min(t / bubble.riseSeconds, 1.0);
        // Smooth towards the end pitch: fast first, then settling.
        double shaped = 1 - (1 - rise) * (1 - rise);
        double hz = bubble.startHz * std::pow(bubble.endHz / bubble.startHz, shaped);
        double level = ramp(t, 0, 0.001) * decayLevel(t, bubble.decaySeconds);
        out[i] = float(bubble.level * level * (tone.next(hz) + 0.18 * overtone.next(2 * hz)));
    }
    return out;
}
