// The diver's voice, heard through his helmet: a deep "uh-oh", the first
// syllable higher and short, then a glottal stop, the second falling and
// long. A glottal buzz (a sawtooth softened by a lowpass) runs through
// three parallel formant resonances that move from the vowel of "uh" to
// the one of "oh" and on towards "oo"; the helmet adds a dark, hollow
// ring (a lowpass and a short feedback comb).
#include "sounds/sounds.h"

#include "random.h"
#include "synth/envelopes.h"
#include "synth/filters.h"
#include "synth/oscillators.h"

#include <algorithm>
#include <cmath>

namespace {

struct Vowel {
    double formant[3];  // Hz
};
const Vowel uh{{640, 1190, 2390}};
const Vowel oh{{460, 820, 2700}};
const Vowel oo{{340, 700, 2400}};
const double formantGain[3] = {1.0, 0.55, 0.22};
const double formantQ[3] = {7, 9, 14};

Vowel blend(const Vowel& a, const Vowel& b, double t) {
    Vowel v{};
    for (int k = 0; k < 3; ++k) v.formant[k] = a.formant[k] + (b.formant[k] - a.formant[k]) * t;
    return v;
}

// Where the voice is at time t: pitch (Hz), loudness (0..1), vowel.
struct Articulation {
    double hz;
    double level;
    Vowel vowel;
};

Articulation articulationAt(double t) {
    const double firstEnd = 0.40, secondStart = 0.52, secondEnd = 1.5;
    if (t < secondStart) {
        double level = ramp(t, 0, 0.002) * (1 - smoothRamp(t, firstEnd - 0.06, firstEnd));
        double hz = 132 + 14 * std::sin(std::min(t / firstEnd, 1.0) * 3.1);
        return {hz, level, uh};
    }
    double s = (t - secondStart) / (secondEnd - secondStart);
    double level = ramp(t, secondStart, secondStart + 0.02) * (1 - smoothRamp(t, secondEnd - 0.35, secondEnd));
    double hz = 112 - 30 * s;
    Vowel vowel = s < 0.4 ? blend(uh, oh, s / 0.4) : blend(oh, oo, (s - 0.4) / 0.6);
    return {hz, level * (1 - 0.2 * s), vowel};
}

}  // namespace

Mono synthTolvaneVoice() {
    Random random(5309);
    const double length = 1.55;
    Mono out(frameAt(length));
    SawOscillator buzz;
    SineOscillator wobble;
    OnePole tilt;
    tilt.setCutoff(700);
    StateVariableFilter formants[3];
    OnePole helmetTone;
    helmetTone.setCutoff(2600);
    const size_t combDelay = frameAt(0.0027);
    Mono comb(combDelay, 0.0f);
    size_t combPosition = 0;

    for (size_t i = 0; i < out.size(); ++i) {
        double t = timeAt(i);
        Articulation a = articulationAt(t);
        double hz = a.hz * (1 + 0.008 * wobble.next(5.5) + 0.004 * random.bipolar());
        double source = tilt.lowpass(buzz.next(hz)) * 3 + 0.04 * random.bipolar();
        if (i % 16 == 0)
            for (int k = 0; k < 3; ++k) formants[k].set(a.vowel.formant[k], formantQ[k]);
        double voice = 0;
        for (int k = 0; k < 3; ++k) voice += formantGain[k] * formants[k].bandpass(source);
        voice *= a.level;

        double muffled = helmetTone.lowpass(voice);
        double ringing = muffled + 0.35 * comb[combPosition];
        comb[combPosition] = float(ringing);
        if (++combPosition == combDelay) combPosition = 0;
        out[i] = float(ringing);
    }
    normalise(out, 0.7f);
    return out;
}
