// Reading and measuring recorded sound in tests: 16-bit stereo at
// 44100 Hz, as the show's mixer produces it. Positions are in sample frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vesk_test {

const int audioRate = 44100;

// Interleaved left/right 16-bit frames.
struct StereoSound {
    std::vector<int16_t> samples;
    size_t frames() const { return samples.size() / 2; }
    int left(size_t frame) const { return samples[2 * frame]; }
    int right(size_t frame) const { return samples[2 * frame + 1]; }
};

// Raw interleaved 16-bit stereo, as SDL's disk audio driver writes it.
StereoSound readRawStereo(const std::string& path);

// Any file libsndfile reads (WAV, MP3), as 16-bit stereo; mono goes to
// both sides. Empty when it cannot be read.
StereoSound decodeSoundFile(const std::string& path);

// The first frame at or after `from` in which either side exceeds
// `threshold` in magnitude; -1 if none.
long firstFrameAbove(const StereoSound& sound, int threshold, size_t from = 0);

// The largest magnitude of either side over frames [from, to).
int peakBetween(const StereoSound& sound, size_t from, size_t to);

// The root mean square of both sides over frames [from, to).
double rmsBetween(const StereoSound& sound, size_t from, size_t to);

// `mix` minus `part`, with part's frame 0 at mix's frame `offset`; frames
// of mix outside part are kept as they are. Used to take a known sound
// (the music, a sample) out of a recording.
StereoSound subtract(const StereoSound& mix, const StereoSound& part, long offset, double partGain = 1.0);

inline size_t framesAt(double seconds) { return static_cast<size_t>(seconds * audioRate + 0.5); }

}  // namespace vesk_test
