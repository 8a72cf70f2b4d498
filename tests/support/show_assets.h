// The show's data files and its four sample cues, in one place for the
// tests, the benchmarks and the reliability checks.
#pragma once

// The names of assets.txt, in the order the show loads them: the samples,
// the pictures, the music.
inline constexpr const char* showAssets[] = {
#include "show_asset_names.inc"
};

struct SampleCue {
    const char* sample;  // file name inside data/
    double showTime;     // seconds of show time at which the sample starts
    bool musicAudible;   // the music is muted from 40.1 s to 45.1 s
};

// Every sample plays on channel 1 when its cue starts.
inline constexpr SampleCue sampleCues[] = {
    {"spinefin.wav", 31.0, true},   // the fish speaks
    {"carcrash.wav", 40.1, false},  // the crash
    {"juice.wav", 47.0, true},
    {"tolvane.wav", 54.0, true},    // the outro's voice
};
