// Amplitude envelopes as functions of time since the note began, in
// seconds; levels 0..1.
#pragma once

#include <algorithm>
#include <cmath>

// Attack to 1 in `attack` s, decay to `sustain` in `decay` s, held until
// `held` s, then a release to 0 in `release` s.
struct Adsr {
    double attack;
    double decay;
    double sustain;
    double release;

    double level(double t, double held) const {
        if (t < 0) return 0;
        double beforeRelease = levelHeld(std::min(t, held));
        if (t <= held) return beforeRelease;
        double r = (t - held) / std::max(release, 1e-6);
        return r >= 1 ? 0 : beforeRelease * (1 - r) * (1 - r);
    }
    // Seconds until the level reaches 0 for a note held `held` s.
    double length(double held) const { return held + release; }

private:
    double levelHeld(double t) const {
        if (t < attack) return t / attack;
        double d = (t - attack) / std::max(decay, 1e-6);
        if (d >= 1) return sustain;
        return sustain + (1 - sustain) * (1 - d) * (1 - d);
    }
};

// e^(-t / tau): the level after t s of a decay with time constant tau s.
inline double decayLevel(double t, double tau) { return t < 0 ? 0 : std::exp(-t / tau); }

// The same decay stepped sample by sample: one multiply instead of an
// exp() per sample.
class Decay {
public:
    Decay(double tau, double sampleRateHz) : factor(std::exp(-1.0 / (tau * sampleRateHz))) {}
    // The level at this sample (1 at the first), then one sample on.
    double next() {
        double now = level;
        level *= factor;
        return now;
    }

private:
    double factor;
    double level = 1;
};

// A linear ramp from 0 at `t0` to 1 at `t1` (0 before, 1 after).
inline double ramp(double t, double t0, double t1) {
    if (t1 <= t0) return t >= t1 ? 1 : 0;
    return std::clamp((t - t0) / (t1 - t0), 0.0, 1.0);
}

// A smooth (cosine) step from 0 at `t0` to 1 at `t1`.
inline double smoothRamp(double t, double t0, double t1) {
    double r = ramp(t, t0, t1);
    return 0.5 - 0.5 * std::cos(r * 3.14159265358979323846);
}
