// Where the sound library's mix goes. Our own extension of the sound
// library, for runs without a person listening.
//
// Device (the default): FSOUND_Init opens the audio device, whose callback
// thread is the mixing thread. If no device can be opened the library runs
// silently, as if muted, and every call still succeeds.
//
// Manual: FSOUND_Init opens no device; the mix is pulled with mixSound on
// the caller's thread, which is then the mixing thread (sync callbacks run
// inside mixSound). Tests and the offline capture tool use this. Streams
// opened while the output is manual are decoded by mixSound itself, just
// ahead of what it mixes, so a mix pulled at any speed is the same.
#pragma once

#include <cstdint>

enum class SoundOutput { Device, Manual };

// Takes effect at the next FSOUND_Init.
void setSoundOutput(SoundOutput output);

// Manual output: mixes the next `frames` sample frames of every playing
// channel into `interleavedStereo` (left, right, 44100 Hz, 16-bit), advancing
// positions and firing sync points. Fills silence when the system is not
// initialised or the output is not manual.
void mixSound(int16_t* interleavedStereo, int frames);
