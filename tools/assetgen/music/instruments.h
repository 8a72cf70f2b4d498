// The instruments of the music. Each renders one note from its first
// sample until it has died away (release included). Pitches are MIDI note
// numbers (69 = A4 = 440 Hz), times in seconds, velocities 0..1.
#pragma once

#include "synth/signal.h"

#include <cstdint>
#include <vector>

// A warm pad chord: three detuned sawtooths per pitch through a gently
// resonant lowpass, spread across the stereo field. The cutoff glides from
// `cutoffStartHz` to `cutoffEndHz` over the held part of the chord.
struct PadSettings {
    double attack = 0.8;
    double release = 1.8;
    double cutoffStartHz = 900;
    double cutoffEndHz = 900;
};
Stereo renderPad(const std::vector<int>& pitches, double held, double velocity, const PadSettings& settings,
                 uint32_t seed);

// A glassy bell (two-operator FM with an inharmonic ratio), ringing about
// 2.5 s.
Mono renderBell(double pitch, double velocity);

// A round sine bass with a touch of second harmonic and a soft attack.
Mono renderBass(double pitch, double held, double velocity);

// A breathy, flute-like lead: sine and triangle with breath noise and a
// vibrato that grows as the note is held; it glides in from
// `fromPitch` over 60 ms (the same pitch: no glide).
Mono renderLead(double pitch, double fromPitch, double held, double velocity);

// A soft, low kick: a sine falling from 110 Hz, 0.35 s.
Mono renderKick(double velocity);
// A shaker: a short hiss of high band-passed noise.
Mono renderShaker(double velocity, uint32_t seed);
