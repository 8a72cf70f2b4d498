// Filters of the synthesiser. Cutoffs in Hz, resonance as Q (0.5 gentle,
// 0.707 flat, 5 and more ringing). Both may change on every sample.
#pragma once

#include "synth/signal.h"

#include <algorithm>
#include <cmath>

// First-order lowpass: gentle 6 dB per octave; its complement is a highpass.
class OnePole {
public:
    void setCutoff(double hz) { coefficient = 1 - std::exp(-twoPi * std::min(hz, 0.45 * sampleRate) / sampleRate); }
    double lowpass(double x) { return state += coefficient * (x - state); }
    double highpass(double x) { return x - lowpass(x); }

private:
    double coefficient = 1;
    double state = 0;
};

// State-variable filter in trapezoidal form: stable under fast sweeps.
class StateVariableFilter {
public:
    struct Outputs {
        double low;
        double band;
        double high;
    };

    void set(double hz, double q) {
        hz = std::clamp(hz, 10.0, 0.45 * sampleRate);
        g = std::tan(pi * hz / sampleRate);
        k = 1 / std::max(q, 0.1);
        a1 = 1 / (1 + g * (g + k));
        a2 = g * a1;
        a3 = g * a2;
    }

    Outputs process(double x) {
        double v3 = x - ic2;
        double v1 = a1 * ic1 + a2 * v3;
        double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2 * v1 - ic1;
        ic2 = 2 * v2 - ic2;
        return {v2, v1, x - k * v1 - v2};
    }
    double lowpass(double x) { return process(x).low; }
    double bandpass(double x) { return process(x).band; }
    double highpass(double x) { return process(x).high; }

private:
    double g = 0, k = 1, a1 = 0, a2 = 0, a3 = 0;
    double ic1 = 0, ic2 = 0;
};
