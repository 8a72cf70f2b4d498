// The show's samples, one function per file, each mono at 44.1 kHz with
// its first sound at sample 0 (the show fires them at fixed moments and
// the picture must agree), peaking at about -3 dBFS.
#pragma once

#include "synth/signal.h"

// Two bubbly blubs at 0 s and 0.2 s, one per opening of the fish's mouth.
Mono synthSpinefinBlubs();
// A falling whistle from the first sample on, the impact 2.1 s in, then
// debris settling.
Mono synthCarcrash();
// A wet squish.
Mono synthJuice();
// The diver's voice: a deep, muffled "uh-oh", about 1.5 s.
Mono synthTolvaneVoice();
