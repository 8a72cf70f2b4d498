// The sound of one bubble: a sine whose pitch rises as the bubble shrinks
// and whose level dies away fast. Shared by the fish's blubs, the juice's
// drips and the music's ornaments.
#pragma once

#include "synth/signal.h"

struct BubbleSound {
    double startHz;   // pitch at the first sample
    double endHz;     // pitch after `riseSeconds`
    double riseSeconds;
    double decaySeconds;  // time constant of the level
    double level;         // peak level, 0..1
};

// Starts at full level within 1 ms, so its onset is its first sample.
Mono renderBubble(const BubbleSound& bubble);
