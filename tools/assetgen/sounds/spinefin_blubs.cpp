// The fish speaks: two round "blub"s, 0.2 s apart, matching the two
// openings of its mouth. Each is a big bubble (a pitch rising from a low
// boom), with a soft wet pop at its start and a few small bubbles trailing
// after it.
#include "sounds/sounds.h"

#include "random.h"
#include "synth/bubble.h"
#include "synth/envelopes.h"
#include "synth/filters.h"

namespace {

// The wet pop at the start of a blub: a few ms of dark noise.
Mono renderPop(Random& random) {
    size_t frames = frameAt(0.03);
    Mono out(frames);
    OnePole tone;
    tone.setCutoff(1800);
    for (size_t i = 0; i < frames; ++i)
        out[i] = float(tone.lowpass(random.bipolar()) * decayLevel(timeAt(i), 0.004) * 2.5);
    return out;
}

void addBlub(Mono& out, double at, double lowHz, double highHz, Random& random) {
    size_t start = frameAt(at);
    mixInto(out, renderBubble({lowHz, highHz, 0.08, 0.055, 0.85}), start);
    mixInto(out, renderPop(random), start, 0.6);
    for (int i = 0; i < 3; ++i) {
        double delay = random.between(0.035, 0.13);
        double hz = random.between(700, 1300);
        mixInto(out, renderBubble({hz, hz * 1.6, 0.025, 0.012, random.between(0.15, 0.3)}), frameAt(at + delay));
    }
}

}  // namespace

Mono synthSpinefinBlubs() {
    Random random(31);
    Mono out(frameAt(0.55));
    addBlub(out, 0.0, 170, 520, random);
    addBlub(out, 0.2, 210, 640, random);
    normalise(out, 0.7f);
    return out;
}
