#include "frame_timing.h"

FrameTiming::FrameTiming(FrameRate rate) : frameRate(rate) {}

uint64_t FrameTiming::frameMilliseconds(int64_t frame) const {
    return static_cast<uint64_t>(frame) * 1000u * frameRate.denominator / frameRate.numerator;
}

int64_t FrameTiming::firstSample(int64_t frame) const {
    return static_cast<int64_t>(static_cast<uint64_t>(frame) * mixRate * frameRate.denominator /
                                frameRate.numerator);
}

int FrameTiming::samplesOfFrame(int64_t frame) const {
    return static_cast<int>(firstSample(frame + 1) - firstSample(frame));
}

int FrameTiming::maxSamplesPerFrame() const {
    // floor differences of k * 44100 / F never exceed the ceiling of one step.
    uint64_t step = mixRate * frameRate.denominator;
    return static_cast<int>((step + frameRate.numerator - 1) / frameRate.numerator);
}

int64_t FrameTiming::firstFrameAtOrAfter(uint64_t milliseconds) const {
    // floor(k * 1000 * d / n) >= ms  <=>  k * 1000 * d >= ms * n.
    uint64_t perFrame = 1000u * frameRate.denominator;
    return static_cast<int64_t>((milliseconds * frameRate.numerator + perFrame - 1) / perFrame);
}
