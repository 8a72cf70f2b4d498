// vesk-cue-check: the cue and drift analysis of a recording of the show, as
// a program. Its options, output and exit status are described in
// support/cue_analysis.h.
#include "support/cue_analysis.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    std::string data = "data", frames, recordingPath;
    double limits[4] = {-1, -1, -1, -1};  // cue ms, drift ms, dropouts, mute peak
    const char* names[4] = {"--cue-ms", "--drift-ms", "--dropouts", "--mute-peak"};
    for (int i = 1; i < argc; ++i) {
        bool matched = false;
        for (int k = 0; k < 4 && i + 1 < argc; ++k) {
            if (std::strcmp(argv[i], names[k]) == 0) limits[k] = std::atof(argv[++i]), matched = true;
        }
        if (!matched && std::strcmp(argv[i], "--data") == 0 && i + 1 < argc) data = argv[++i], matched = true;
        if (!matched && std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) frames = argv[++i], matched = true;
        if (!matched && argv[i][0] != '-' && recordingPath.empty()) recordingPath = argv[i], matched = true;
        if (!matched) {
            std::fprintf(stderr,
                         "usage: vesk-cue-check [--data DIR] [--frames FILE] [--cue-ms X] [--drift-ms X] [--dropouts N] "
                         "[--mute-peak N] RECORDING\n");
            return 2;
        }
    }
    const cue::Stereo recording = cue::readRecording(recordingPath);
    if (recording.frames() == 0) {
        std::fprintf(stderr, "vesk-cue-check: cannot read %s\n", recordingPath.c_str());
        return 2;
    }
    const cue::Analysis a = cue::analyse(recording, data, frames.empty() ? std::vector<double>{} : cue::readFrameTimes(frames));
    if (!a.musicFound) {
        std::fprintf(stderr, "vesk-cue-check: the music is not in %s\n", recordingPath.c_str());
        return 1;
    }
    bool broken = false;
    auto over = [&](double value, double limit) {
        if (limit >= 0 && value > limit) broken = true;
    };
    std::printf("music_start_s %.4f\n", static_cast<double>(a.musicStart) / cue::rate);
    for (const cue::CueResult& c : a.cues) {
        if (!c.found) {
            std::printf("cue %s %.1f not_found\n", c.sample, c.showTime);
            broken = true;
            continue;
        }
        std::printf("cue %s %.1f %+.2f %.4f\n", c.sample, c.showTime, c.errorMs, c.frameTime);
        over(std::fabs(c.errorMs), limits[0]);
    }
    std::printf("drift_ms %.2f\ndropouts %d\nmute_peak %d\n", a.driftMs, a.dropouts, a.mutePeak);
    over(std::fabs(a.driftMs), limits[1]);
    over(a.dropouts, limits[2]);
    over(a.mutePeak < 0 ? 1e9 : a.mutePeak, limits[3]);
    return broken ? 1 : 0;
}
