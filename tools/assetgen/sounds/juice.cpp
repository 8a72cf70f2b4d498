// The squish: a wet splat at the first sample, a squelch of noise through
// two throat-like resonances sliding down with a bubbling flutter, a
// sinking gloop, and three drips.
#include "sounds/sounds.h"

#include "random.h"
#include "synth/bubble.h"
#include "synth/envelopes.h"
#include "synth/filters.h"
#include "synth/oscillators.h"

#include <algorithm>
#include <cmath>

Mono synthJuice() {
    Random random(977);
    const double length = 0.9;
    Mono out(frameAt(length));
    StateVariableFilter splatTone, low, high;
    splatTone.set(3200, 0.7);
    SineOscillator gloop;
    SineOscillator flutter;
    double flutterHz = 23;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = timeAt(i);
        double noise = random.bipolar();
        double splat = splatTone.lowpass(noise) * decayLevel(t, 0.02) * 1.6;

        double slide = std::min(t / 0.45, 1.0);
        if (i % 16 == 0) {
            low.set(900 - 600 * slide, 6);
            high.set(2300 - 1300 * slide, 5);
            flutterHz = 18 + 14 * random.unit();
        }
        double bubbling = 0.5 + 0.5 * flutter.next(flutterHz);
        double squelchLevel = ramp(t, 0, 0.004) * decayLevel(t, 0.16) * (0.35 + 0.65 * bubbling);
        double squelch = (1.4 * low.bandpass(noise) + 0.9 * high.bandpass(noise)) * squelchLevel;

        double gloopHz = 80 + 200 * std::exp(-t / 0.12);
        double sink = 0.55 * gloop.next(gloopHz) * ramp(t, 0, 0.003) * decayLevel(t, 0.11);
        out[i] = float(splat + squelch * 2.2 + sink);
    }
    for (double at : {0.42, 0.56, 0.7}) {
        double hz = random.between(900, 1400);
        mixInto(out, renderBubble({hz, hz * 1.7, 0.02, 0.02, 0.22}), frameAt(at));
    }
    normalise(out, 0.7f);
    return out;
}
