// The show's data files and its four sample cues, in one place for the
// tests, the benchmarks and the reliability checks.
#pragma once

#include <cstddef>

enum class AssetKind { Music, Sample, Picture };

struct AssetFile {
    const char* name;  // file name inside data/
    AssetKind kind;
};

// In the order the show loads them.
inline constexpr AssetFile showAssets[] = {
    {"spinefin.wav", AssetKind::Sample},
    {"juice.wav", AssetKind::Sample},
    {"tolvane.wav", AssetKind::Sample},
    {"carcrash.wav", AssetKind::Sample},
    {"fishtank.png", AssetKind::Picture},
    {"spinefin-256-transparent.png", AssetKind::Picture},
    {"spinefin-open.png", AssetKind::Picture},
    {"tolvane-transparent.png", AssetKind::Picture},
    {"kelpwake-filled.png", AssetKind::Picture},
    {"by-vesk.png", AssetKind::Picture},
    {"outro.png", AssetKind::Picture},
    {"outro2.png", AssetKind::Picture},
    {"bubble.png", AssetKind::Picture},
    {"blood.png", AssetKind::Picture},
    {"kelpwake.mp3", AssetKind::Music},
};
inline constexpr std::size_t showAssetCount = sizeof(showAssets) / sizeof(showAssets[0]);

struct SampleCue {
    const char* name;    // what happens in the show
    const char* sample;  // file name inside data/
    double showTime;     // seconds of show time at which the sample starts
    bool musicAudible;   // the music is muted from 40.1 s to 45.1 s
};

// Every sample plays on channel 1 when its cue starts.
inline constexpr SampleCue sampleCues[] = {
    {"fish speaks", "spinefin.wav", 31.0, true},
    {"crash", "carcrash.wav", 40.1, false},
    {"juice", "juice.wav", 47.0, true},
    {"outro voice", "tolvane.wav", 54.0, true},
};
inline constexpr std::size_t sampleCueCount = sizeof(sampleCues) / sizeof(sampleCues[0]);
