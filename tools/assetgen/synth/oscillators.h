// Oscillators: a phase in cycles (0..1) advanced by frequency / sampleRate
// per sample, so the frequency may change on every sample (glides, sweeps,
// vibrato) without clicks.
#pragma once

#include "synth/signal.h"

#include <algorithm>
#include <cmath>

class Phase {
public:
    explicit Phase(double startCycles = 0) : cycles(startCycles - std::floor(startCycles)) {}
    // Returns the phase before the step, then advances by `hz`.
    double advance(double hz) {
        double now = cycles;
        increment = hz / sampleRate;
        cycles += increment;
        cycles -= std::floor(cycles);
        return now;
    }
    // The step of the last advance, in cycles per sample.
    double lastIncrement() const { return increment; }

private:
    double cycles;
    double increment = 0;
};

// One cycle of sin() in `sineTableSize` steps plus a guard entry, so that
// interpolation never wraps.
constexpr int sineTableSize = 4096;
const float* sineTable();

// sin(2 pi cycles) from the table with linear interpolation (error below
// 1e-6): the music runs hundreds of millions of sines.
inline double sineOfCycles(double cycles) {
    const float* table = sineTable();
    double position = (cycles - std::floor(cycles)) * sineTableSize;
    int index = std::min(int(position), sineTableSize - 1);
    double fraction = position - index;
    return table[index] + (table[index + 1] - table[index]) * fraction;
}

class SineOscillator {
public:
    explicit SineOscillator(double startCycles = 0) : phase(startCycles) {}
    double next(double hz) { return sineOfCycles(phase.advance(hz)); }
    // With phase modulation by `offsetCycles` (for FM bells).
    double next(double hz, double offsetCycles) { return sineOfCycles(phase.advance(hz) + offsetCycles); }

private:
    Phase phase;
};

// Band-limited sawtooth, -1..1, falling edge smoothed by a polynomial step
// so that high notes do not alias.
class SawOscillator {
public:
    explicit SawOscillator(double startCycles = 0) : phase(startCycles) {}
    double next(double hz) {
        double t = phase.advance(hz);
        double dt = phase.lastIncrement();
        return 2 * t - 1 - smoothedStep(t, dt);
    }

private:
    static double smoothedStep(double t, double dt) {
        if (dt <= 0) return 0;
        if (t < dt) {
            t /= dt;
            return t + t - t * t - 1;
        }
        if (t > 1 - dt) {
            t = (t - 1) / dt;
            return t * t + t + t + 1;
        }
        return 0;
    }
    Phase phase;
};

// Triangle, -1..1; soft enough at the show's pitches not to need band
// limiting.
class TriangleOscillator {
public:
    explicit TriangleOscillator(double startCycles = 0) : phase(startCycles) {}
    double next(double hz) {
        double t = phase.advance(hz);
        return t < 0.5 ? 4 * t - 1 : 3 - 4 * t;
    }

private:
    Phase phase;
};

// Semitones above MIDI note 69 (A4, 440 Hz).
inline double noteHz(double midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69) / 12); }
