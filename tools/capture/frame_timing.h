// Frame and sample arithmetic of the capture: which millisecond of the
// show's timer a frame is drawn at, and which 44100 Hz sample frames of the
// mix belong to it.
//
// Frame k at F frames per second is drawn at timer count floor(k * 1000 / F)
// ms after the start (rounded down: at 60 fps frames fall on 0, 16, 33, 50,
// ... ms, and every multiple of 100 ms is met exactly). Frame k's sound is
// the samples [floor(k * 44100 / F), floor((k + 1) * 44100 / F)), so the
// frames tile the mix with no gap or overlap.
#pragma once

#include "platform/sound/mix_rate.h"

#include <cstdint>

// A frame rate as an exact fraction, numerator / denominator frames per
// second; 60000/1001 stays exact.
struct FrameRate {
    uint64_t numerator = 60;
    uint64_t denominator = 1;
};

// Limits that keep every product below in 64 bits and every frame on a
// millisecond of its own.
const uint64_t maxFrameRateTerm = 1000000;      // numerator and denominator
const double minFramesPerSecond = 1.0;
const double maxFramesPerSecond = 1000.0;
const uint64_t maxShowMilliseconds = 86400000;  // one day

class FrameTiming {
public:
    explicit FrameTiming(FrameRate rate);

    FrameRate rate() const { return frameRate; }

    // Milliseconds after the start at which frame `frame` (>= 0) is drawn.
    uint64_t frameMilliseconds(int64_t frame) const;
    // The first sample frame of `frame`'s share of the mix.
    int64_t firstSample(int64_t frame) const;
    // How many sample frames belong to `frame`.
    int samplesOfFrame(int64_t frame) const;
    // The most sample frames any frame gets.
    int maxSamplesPerFrame() const;
    // The first frame drawn at or after `milliseconds`.
    int64_t firstFrameAtOrAfter(uint64_t milliseconds) const;

private:
    FrameRate frameRate;
};
