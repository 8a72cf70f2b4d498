// Sound buffers of the synthesiser: float samples at 44.1 kHz, nominally
// in -1..1. Times are in seconds, positions in frames.
#pragma once

#include "platform/sound/mix_rate.h"

#include <cstddef>
#include <vector>

constexpr int sampleRate = mixRate;
constexpr double pi = 3.14159265358979323846;
constexpr double twoPi = 2 * pi;

using Mono = std::vector<float>;

struct Stereo {
    Mono left;
    Mono right;
    explicit Stereo(size_t frames = 0) : left(frames), right(frames) {}
    size_t frames() const { return left.size(); }
};

// The frame at which `seconds` falls (rounded to the nearest frame).
size_t frameAt(double seconds);
// Seconds at `frame`.
inline double timeAt(size_t frame) { return double(frame) / sampleRate; }

// Adds `source` * gain into `target` from frame `at` on; what would fall
// past the end of `target` is dropped.
void mixInto(Mono& target, const Mono& source, size_t at, double gain = 1.0);
// Adds a mono source into both sides, panned: -1 left, 0 centre, 1 right
// (constant power).
void mixPanned(Stereo& target, const Mono& source, size_t at, double gain, double pan);
void mixInto(Stereo& target, const Stereo& source, size_t at, double gain = 1.0);

// The largest absolute sample.
float peakOf(const Mono& samples);
float peakOf(const Stereo& samples);
// Scales so that the largest absolute sample becomes `peak`.
void normalise(Mono& samples, float peak);
void normalise(Stereo& samples, float peak);
