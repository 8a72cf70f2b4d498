// vesk_cue_errors RECORDING: how far each sample cue of the show is heard
// from its moment in the music. RECORDING is raw 16-bit stereo at 44100 Hz
// (SDL's disk audio driver) or, if it ends in .wav, a WAV file. Run it from
// a directory holding data/.
//
// The music is found in the recording by its first loud frame and taken
// out; each cue is then the first loud frame of what is left near its
// moment, as the end-to-end show test does. Prints one line per cue and a
// last line "max_abs_ms X". Exits 1 when a cue is not found.
#include "support/audio_analysis.h"

#include <cmath>
#include <cstdio>
#include <string>

using namespace vesk_test;

namespace {

struct Cue {
    double time;  // seconds of show time
    const char* file;
};
const Cue cues[] = {{31.0, "data/spinefin.wav"}, {40.1, "data/carcrash.wav"}, {47.0, "data/juice.wav"}, {54.0, "data/tolvane.wav"}};

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vesk_cue_errors RECORDING.raw|RECORDING.wav\n");
        return 2;
    }
    const std::string path = argv[1];
    const StereoSound recording = endsWith(path, ".wav") ? decodeSoundFile(path) : readRawStereo(path);
    const StereoSound music = decodeSoundFile("data/kelpwake.mp3");
    const long musicLoud = firstFrameAbove(music, 200);
    const long heardLoud = firstFrameAbove(recording, 200);
    if (musicLoud < 0 || heardLoud < musicLoud) {
        std::fprintf(stderr, "vesk_cue_errors: no music found in %s\n", path.c_str());
        return 1;
    }
    const long musicStart = heardLoud - musicLoud;
    const StereoSound residue = subtract(recording, music, musicStart);
    auto at = [&](double showSeconds) { return static_cast<size_t>(musicStart + static_cast<long>(framesAt(showSeconds))); };

    double worst = 0;
    for (const Cue& cue : cues) {
        const long onset = firstFrameAbove(residue, 1500, at(cue.time - 0.2));
        if (onset < 0) {
            std::fprintf(stderr, "vesk_cue_errors: %s not heard after %.1f s\n", cue.file, cue.time - 0.2);
            return 1;
        }
        const double errorMs = (onset - static_cast<double>(at(cue.time))) * 1000.0 / audioRate;
        std::printf("cue %-18s at %.1f s: %+.2f ms\n", cue.file, cue.time, errorMs);
        worst = std::fmax(worst, std::fabs(errorMs));
    }
    std::printf("max_abs_ms %.2f\n", worst);
    return 0;
}
