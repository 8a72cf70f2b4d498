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

namespace vesk_test {

// The show's four sample cues: their moment in seconds of show time and
// their file.
struct ShowCue {
    double time;
    const char* file;
};
extern const ShowCue showCues[4];

// A recording of the show, lined up with its music: where the music starts
// in it, the recording with the music taken out, and for each cue the frame
// at which it is first heard (-1 when it is not) and its lag in seconds.
struct CueTimings {
    long musicStart = -1;  // -1 when the music is not found
    StereoSound residue;
    long onsets[4] = {-1, -1, -1, -1};
    double lags[4] = {0, 0, 0, 0};
    // The frame of the recording at `showSeconds` of show time.
    size_t at(double showSeconds) const { return static_cast<size_t>(musicStart + static_cast<long>(framesAt(showSeconds))); }
};

// Finds the music by its first loud frame (less the music's own quiet
// lead-in) and each cue as the first loud frame of the residue from 0.2 s
// before its moment.
CueTimings timeShowCues(const StereoSound& recording, const StereoSound& music);

}  // namespace vesk_test
