// A ping-pong echo: each repeat crosses to the other side, a little darker.
#pragma once

#include "synth/signal.h"

struct EchoSettings {
    double delaySeconds = 0.375;
    double feedback = 0.45;  // 0..0.9: level of each repeat relative to the last
    double toneHz = 3500;    // lowpass on the repeats
};

// The repeats only, as long as `dry`.
Stereo echo(const Stereo& dry, const EchoSettings& settings);
