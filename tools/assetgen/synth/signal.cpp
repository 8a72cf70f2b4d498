#include "synth/signal.h"

#include <algorithm>
#include <cmath>

size_t frameAt(double seconds) { return seconds <= 0 ? 0 : size_t(std::lround(seconds * sampleRate)); }

void mixInto(Mono& target, const Mono& source, size_t at, double gain) {
    if (at >= target.size()) return;
    size_t count = std::min(source.size(), target.size() - at);
    float g = float(gain);
    for (size_t i = 0; i < count; ++i) target[at + i] += g * source[i];
}

void mixPanned(Stereo& target, const Mono& source, size_t at, double gain, double pan) {
    double angle = (std::clamp(pan, -1.0, 1.0) + 1) * pi / 4;
    mixInto(target.left, source, at, gain * std::cos(angle) * std::sqrt(2.0));
    mixInto(target.right, source, at, gain * std::sin(angle) * std::sqrt(2.0));
}

void mixInto(Stereo& target, const Stereo& source, size_t at, double gain) {
    mixInto(target.left, source.left, at, gain);
    mixInto(target.right, source.right, at, gain);
}

float peakOf(const Mono& samples) {
    float peak = 0;
    for (float v : samples) peak = std::max(peak, std::fabs(v));
    return peak;
}

float peakOf(const Stereo& samples) { return std::max(peakOf(samples.left), peakOf(samples.right)); }

void normalise(Mono& samples, float peak) {
    float current = peakOf(samples);
    if (current <= 0) return;
    for (float& v : samples) v *= peak / current;
}

void normalise(Stereo& samples, float peak) {
    float current = peakOf(samples);
    if (current <= 0) return;
    for (float& v : samples.left) v *= peak / current;
    for (float& v : samples.right) v *= peak / current;
}
