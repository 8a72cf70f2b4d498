// Converts the mix's 44100 Hz interleaved stereo 16-bit frames to 48000 Hz,
// for a device opened at the rate its sound server runs at, so that the
// server's stream needs no resampler of its own and takes exactly one
// device buffer per cycle.
//
// A fixed ratio (160 output frames for every 147 input frames) through a
// polyphase windowed-sinc filter of `taps` taps: flat to about 16 kHz. The
// output lags the input by no more than the filter's half length
// (taps / 2 input frames, 0.36 ms); an output block of n frames takes
// inputFrames(n) new input frames, 147 n / 160 rounded down or up.
//
// Threads: one caller at a time. Construction allocates; nothing else does.
#pragma once

#include "platform/sound/mix_rate.h"

#include <cstdint>
#include <vector>

class RateConverter {
public:
    static constexpr int inputRate = mixRate;
    static constexpr int outputRate = 48000;
    static constexpr int taps = 32;

    // Output blocks of at most `maxOutputFrames` frames.
    explicit RateConverter(int maxOutputFrames);

    // How many new input frames the next convert(outputFrames) reads.
    int inputFrames(int outputFrames) const;
    // Where the caller writes those frames (interleaved stereo) before
    // calling convert.
    int16_t* inputSpace();
    // Writes `outputFrames` frames (at most maxOutputFrames) to
    // `interleavedStereo` from the input written to inputSpace().
    void convert(int16_t* interleavedStereo, int outputFrames);

private:
    static constexpr int ratioIn = 147, ratioOut = 160;  // 44100 : 48000
    // Input index of the tap 0 of output frame j: its centre less half the taps.
    static int64_t firstTap(int64_t j) { return j * ratioIn / ratioOut - (taps / 2 - 1); }

    std::vector<float> filter;   // ratioOut phases of `taps` coefficients
    std::vector<int16_t> input;  // frames from input index `base` on
    int64_t base = -(taps / 2 - 1);  // the first outputs read silence before the input
    int64_t held = taps / 2 - 1;     // input frames in `input`
    int64_t produced = 0;            // output frames written so far
};
