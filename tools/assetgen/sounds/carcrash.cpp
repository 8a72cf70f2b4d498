// The crash: something heavy falls. A whistle drops from 2.4 kHz towards
// 500 Hz for 2.1 s, loud from the first sample, with a rasp of screech in
// it; at 2.1 s the impact (a deep thump, a crack of noise, ringing metal,
// breaking glass) and then debris: clatter thinning out and a loose piece
// of metal bouncing to rest.
#include "sounds/sounds.h"

#include "random.h"
#include "synth/envelopes.h"
#include "synth/filters.h"
#include "synth/oscillators.h"

#include <cmath>

namespace {

const double impactAt = 2.1;
const double length = 4.8;

void addWhistle(Mono& out, Random& random) {
    size_t frames = frameAt(impactAt);
    SineOscillator tone, overtone;
    SineOscillator vibrato;
    StateVariableFilter rasp, raspAgain;
    for (size_t i = 0; i < frames; ++i) {
        double t = timeAt(i);
        double fall = t / impactAt;
        double hz = 2400 * std::pow(500.0 / 2400.0, std::pow(fall, 1.15));
        hz *= 1 + 0.012 * vibrato.next(7);
        // Loud at once, swelling as it nears; cut at the impact.
        double level = ramp(t, 0, 0.001) * (0.46 + 0.2 * fall) * (1 - ramp(t, impactAt - 0.004, impactAt));
        if (i % 16 == 0) {
            rasp.set(hz * 1.5, 6);
            raspAgain.set(hz * 1.5, 6);
        }
        // Two band-passes in a row (each with a peak gain of Q = 6): a narrow
        // rasp without a hiss around it.
        double screech = raspAgain.bandpass(rasp.bandpass(random.bipolar())) / 36 * 4;
        out[i] += float(level * (0.8 * tone.next(hz) + 0.12 * overtone.next(2 * hz) + 0.5 * screech));
    }
}

void addThump(Mono& out, size_t at) {
    SineOscillator tone;
    size_t frames = frameAt(1.2);
    Mono thump(frames);
    for (size_t i = 0; i < frames; ++i) {
        double t = timeAt(i);
        double hz = 40 + 90 * std::exp(-t / 0.06);
        thump[i] = float(tone.next(hz) * decayLevel(t, 0.22));
    }
    mixInto(out, thump, at, 1.0);
}

void addCrack(Mono& out, size_t at, Random& random) {
    size_t frames = frameAt(1.5);
    Mono crack(frames);
    StateVariableFilter tone;
    for (size_t i = 0; i < frames; ++i) {
        double t = timeAt(i);
        if (i % 16 == 0) tone.set(1200 + 9000 * std::exp(-t / 0.08), 0.7);
        double burst = decayLevel(t, 0.05) + 0.35 * decayLevel(t, 0.4);
        crack[i] = float(tone.lowpass(random.bipolar()) * burst);
    }
    mixInto(out, crack, at, 1.0);
}

// Inharmonic partials of a struck panel, each ringing for its own time.
void addMetal(Mono& out, size_t at, double gain, double pitchScale, double decayScale) {
    const double partials[][3] = {// Hz, level, decay s
                                  {187, 1.0, 0.9}, {431, 0.8, 0.7}, {658, 0.6, 1.1}, {1012, 0.5, 0.6},
                                  {1423, 0.4, 0.5}, {2117, 0.3, 0.35}, {2870, 0.25, 0.25}};
    size_t frames = frameAt(2.5 * decayScale);
    Mono metal(frames);
    for (const auto& p : partials) {
        SineOscillator partial(p[0] * 0.001);
        for (size_t i = 0; i < frames; ++i)
            metal[i] += float(p[1] * partial.next(p[0] * pitchScale) * decayLevel(timeAt(i), p[2] * decayScale));
    }
    mixInto(out, metal, at, gain / 3);
}

void addGlass(Mono& out, size_t at, Random& random) {
    for (int i = 0; i < 45; ++i) {
        double delay = 0.01 + 0.9 * std::pow(random.unit(), 2.0);
        double hz = random.between(2500, 8000);
        double decay = random.between(0.01, 0.04);
        double level = random.between(0.05, 0.2) * (1 - delay);
        size_t frames = frameAt(decay * 6);
        Mono ping(frames);
        SineOscillator tone;
        for (size_t k = 0; k < frames; ++k) ping[k] = float(level * tone.next(hz) * decayLevel(timeAt(k), decay));
        mixInto(out, ping, at + frameAt(delay));
    }
}

void addDebris(Mono& out, size_t at, Random& random) {
    // Clatter: short bursts of coloured noise, sparser and softer with time.
    for (int i = 0; i < 34; ++i) {
        double delay = 0.12 + 1.9 * std::pow(random.unit(), 1.6);
        double level = random.between(0.15, 0.45) * (1 - delay / 2.3);
        double centre = random.between(300, 2500);
        double decay = random.between(0.015, 0.05);
        size_t frames = frameAt(decay * 6);
        Mono burst(frames);
        StateVariableFilter tone;
        tone.set(centre, 2.5);
        for (size_t k = 0; k < frames; ++k)
            burst[k] = float(level * 2.5 * tone.bandpass(random.bipolar()) * decayLevel(timeAt(k), decay));
        mixInto(out, burst, at + frameAt(delay));
    }
    // A loose piece bouncing: gaps shrinking, each ring shorter and softer.
    double when = 0.45, gap = 0.32, level = 0.5;
    for (int bounce = 0; bounce < 9; ++bounce) {
        addMetal(out, at + frameAt(when), level, 3.1, 0.25);
        when += gap;
        gap *= 0.72;
        level *= 0.78;
    }
}

}  // namespace

Mono synthCarcrash() {
    Random random(4011);
    Mono out(frameAt(length));
    addWhistle(out, random);
    size_t impact = frameAt(impactAt);
    addThump(out, impact);
    addCrack(out, impact, random);
    addMetal(out, impact, 0.9, 1.0, 1.0);
    addGlass(out, impact, random);
    addDebris(out, impact, random);
    // Let the last of the tail die away smoothly.
    for (size_t i = 0; i < out.size(); ++i) out[i] *= float(1 - smoothRamp(timeAt(i), length - 0.6, length));
    normalise(out, 0.7f);
    return out;
}
