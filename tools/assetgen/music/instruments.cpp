#include "music/instruments.h"

#include "random.h"
#include "synth/envelopes.h"
#include "synth/filters.h"
#include "synth/oscillators.h"

#include <algorithm>
#include <cmath>

Stereo renderPad(const std::vector<int>& pitches, double held, double velocity, const PadSettings& settings,
                 uint32_t seed) {
    const Adsr envelope{settings.attack, 1.0, 0.85, settings.release};
    size_t frames = frameAt(envelope.length(held));
    Stereo out(frames);
    Random random(seed);
    const double detune = std::pow(2.0, 7.0 / 1200);  // 7 cents
    struct Voice {
        double hz;
        SawOscillator centre, flat, sharp;
        SineOscillator sub;
    };
    std::vector<Voice> voices;
    for (int pitch : pitches) {
        double a = random.unit(), b = random.unit(), c = random.unit(), d = random.unit();
        voices.push_back({noteHz(pitch), SawOscillator(a), SawOscillator(b), SawOscillator(c), SineOscillator(d)});
    }
    // The filter is linear and shared by the chord, so the voices are
    // summed first and filtered once per side.
    StateVariableFilter filterLeft, filterRight;
    for (size_t i = 0; i < frames; ++i) {
        double t = timeAt(i);
        if (i % 32 == 0) {
            double along = held > 0 ? std::min(t / held, 1.0) : 1.0;
            double cutoff = settings.cutoffStartHz * std::pow(settings.cutoffEndHz / settings.cutoffStartHz, along);
            filterLeft.set(cutoff, 0.9);
            filterRight.set(cutoff * 1.03, 0.9);
        }
        double left = 0, right = 0;
        for (Voice& v : voices) {
            double c = v.centre.next(v.hz), f = v.flat.next(v.hz / detune), s = v.sharp.next(v.hz * detune);
            double low = 0.35 * v.sub.next(v.hz / 2);
            left += 0.5 * c + 0.8 * f + 0.2 * s + low;
            right += 0.5 * c + 0.2 * f + 0.8 * s + low;
        }
        double level = velocity * envelope.level(t, held) * 0.22;
        out.left[i] = float(level * filterLeft.lowpass(left));
        out.right[i] = float(level * filterRight.lowpass(right));
    }
    return out;
}

Mono renderBell(double pitch, double velocity) {
    const double length = 1.8;
    size_t frames = frameAt(length);
    Mono out(frames);
    const double hz = noteHz(pitch);
    SineOscillator carrier, modulator, octave;
    Decay strike(0.25, sampleRate), ring(0.7, sampleRate), overtone(0.3, sampleRate);
    for (size_t i = 0; i < frames; ++i) {
        double t = timeAt(i);
        double index = 1.6 * strike.next() + 0.15;  // bright strike, mellow ring
        double modulation = index * modulator.next(hz * 3.5) / twoPi;
        double level = velocity * ramp(t, 0, 0.002) * ring.next() * (1 - ramp(t, length - 0.3, length));
        out[i] = float(level * (carrier.next(hz, modulation) + 0.25 * octave.next(hz * 2) * overtone.next()));
    }
    return out;
}

Mono renderBass(double pitch, double held, double velocity) {
    const Adsr envelope{0.03, 0.4, 0.8, 0.25};
    size_t frames = frameAt(envelope.length(held));
    Mono out(frames);
    const double hz = noteHz(pitch);
    SineOscillator fundamental, second;
    for (size_t i = 0; i < frames; ++i) {
        double t = timeAt(i);
        double level = velocity * envelope.level(t, held);
        out[i] = float(level * (fundamental.next(hz) + 0.22 * second.next(2 * hz)));
    }
    return out;
}

Mono renderLead(double pitch, double fromPitch, double held, double velocity) {
    const Adsr envelope{0.06, 0.3, 0.8, 0.3};
    size_t frames = frameAt(envelope.length(held));
    Mono out(frames);
    Random random(uint32_t(pitch * 1000 + held * 100));
    SineOscillator tone, vibrato;
    TriangleOscillator body;
    StateVariableFilter breath;
    for (size_t i = 0; i < frames; ++i) {
        double t = timeAt(i);
        double glide = smoothRamp(t, 0, 0.06);
        double notePitch = fromPitch + (pitch - fromPitch) * glide;
        double depth = 0.25 * ramp(t, 0.25, 0.8);  // semitones
        double hz = noteHz(notePitch + depth * vibrato.next(5.2));
        if (i % 32 == 0) breath.set(hz * 2, 2);
        double level = velocity * envelope.level(t, held);
        double noise = breath.bandpass(random.bipolar()) * (0.12 + 0.3 * decayLevel(t, 0.05));
        out[i] = float(level * (tone.next(hz) + 0.25 * body.next(hz) + noise));
    }
    return out;
}

Mono renderKick(double velocity) {
    size_t frames = frameAt(0.35);
    Mono out(frames);
    SineOscillator tone;
    for (size_t i = 0; i < frames; ++i) {
        double t = timeAt(i);
        double hz = 48 + 62 * std::exp(-t / 0.03);
        out[i] = float(velocity * tone.next(hz) * ramp(t, 0, 0.002) * decayLevel(t, 0.09));
    }
    return out;
}

Mono renderShaker(double velocity, uint32_t seed) {
    size_t frames = frameAt(0.09);
    Mono out(frames);
    Random random(seed);
    StateVariableFilter band;
    band.set(7500, 1.2);
    for (size_t i = 0; i < frames; ++i) {
        double t = timeAt(i);
        double level = velocity * ramp(t, 0, 0.006) * decayLevel(t, 0.018);
        out[i] = float(level * band.bandpass(random.bipolar()));
    }
    return out;
}
