// A room for the music: parallel damped feedback combs into series
// allpasses (the classic Schroeder layout), with different delay lengths
// left and right so that the tail is wide.
#pragma once

#include "synth/signal.h"

struct ReverbSettings {
    double decay = 0.84;     // comb feedback, 0..0.98: longer tails nearer 1
    double damping = 0.35;   // 0..1: how fast the highs die in the tail
    double roomScale = 1.0;  // multiplies every delay length
};

// The wet signal only, as long as `dry`; mix it under the dry signal.
Stereo reverberate(const Stereo& dry, const ReverbSettings& settings);
