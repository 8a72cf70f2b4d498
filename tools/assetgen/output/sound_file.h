// Writes synthesised sound with libsndfile: samples as WAV (44.1 kHz,
// 16-bit PCM, mono), the music as MP3 (44.1 kHz, stereo).
#pragma once

#include "synth/signal.h"

#include <string>

// Samples outside -1..1 are clipped. Return false if the file could not be
// written completely.
bool writeWavFile(const std::string& path, const Mono& samples);
// Encoded at a constant 160 kbit/s. Written from float samples, to a file
// (seekable), so that the encoder's gapless header lands at its start.
bool writeMp3File(const std::string& path, const Stereo& music);
