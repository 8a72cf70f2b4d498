// The music of the show: a calm underwater piece in D, 120 beats per
// minute (a beat is 0.5 s, a bar 2 s), whose sections follow the show:
//   0-20 s    title: pad, bells rippling, a slow bass
//   20-31 s   the fish enters: a soft groove and its theme on the lead
//   31-40 s   it speaks (the lead rests at 31 s), the theme answers and
//             climbs towards the crash
//   40.1 s    the show mutes the music until 45.1 s; what plays on under
//             the mute turns to G minor, so the music comes back dark
//   52-68.5 s the outro: back to D, the theme once more on the bells,
//             fading out over the last 2 s
// 69 s long, stereo, peaking at -6 dBFS so that the samples mixed on top
// have headroom.
#pragma once

#include "synth/signal.h"

Stereo composeKelpwake();
