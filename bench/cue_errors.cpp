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
    const CueTimings timings = timeShowCues(recording, decodeSoundFile("data/kelpwake.mp3"));
    if (timings.musicStart < 0) {
        std::fprintf(stderr, "vesk_cue_errors: no music found in %s\n", path.c_str());
        return 1;
    }
    double worst = 0;
    for (int i = 0; i < 4; ++i) {
        const ShowCue& cue = showCues[i];
        if (timings.onsets[i] < 0) {
            std::fprintf(stderr, "vesk_cue_errors: %s not heard after %.1f s\n", cue.file, cue.time - 0.2);
            return 1;
        }
        const double errorMs = timings.lags[i] * 1000.0;
        std::printf("cue %-18s at %.1f s: %+.2f ms\n", cue.file, cue.time, errorMs);
        worst = std::fmax(worst, std::fabs(errorMs));
    }
    std::printf("max_abs_ms %.2f\n", worst);
    return 0;
}
