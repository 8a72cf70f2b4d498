// vesk-cue-check: the cue and drift analysis of a recording of the show, as
// a program. Its options, output and exit status are described in
// support/cue_analysis.h.
#include "support/cue_analysis.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

int main(int argc, char** argv) {
    // Limits below 0 are not checked.
    std::map<std::string, std::string> options = {{"--data", "data"}, {"--frames", ""}, {"--stops", ""}, {"--cue-ms", "-1"},
                                                  {"--drift-ms", "-1"}, {"--dropouts", "-1"}, {"--mute-peak", "-1"},
                                                  {"--mute-music", "-1"}, {"--lead-probe", "-1"}, {"--lead-ms", "-1"}};
    std::string path;
    for (int i = 1; i < argc; ++i) {
        if (options.count(argv[i]) && i + 1 < argc) options[argv[i]] = argv[i + 1], ++i;
        else if (argv[i][0] != '-' && path.empty()) path = argv[i];
        else return std::fprintf(stderr, "vesk-cue-check: see support/cue_analysis.h for the options\n"), 2;
    }
    const cue::Stereo recording = cue::readRecording(path);
    if (recording.frames() == 0) return std::fprintf(stderr, "vesk-cue-check: cannot read %s\n", path.c_str()), 2;
    const std::vector<double> bounds = cue::readNumbers(options["--stops"]);
    std::vector<cue::MachineStop> stops;
    for (size_t i = 0; i + 1 < bounds.size(); i += 2) stops.push_back({bounds[i], bounds[i + 1]});
    const double leadProbe = std::atof(options["--lead-probe"].c_str());
    const cue::Analysis a = cue::analyse(recording, options["--data"], cue::readNumbers(options["--frames"]), stops, leadProbe);
    if (!a.musicFound) return std::fprintf(stderr, "vesk-cue-check: the music is not in %s\n", path.c_str()), 1;
    bool broken = false;
    auto check = [&](double value, const char* limit) {
        const double most = std::atof(options[limit].c_str());
        broken |= most >= 0 && !(value <= most);
    };
    std::printf("music_start_s %.4f\n", static_cast<double>(a.musicStart) / cue::rate);
    for (const cue::CueResult& c : a.cues) {
        if (c.found) std::printf("cue %s %.1f %+.2f %.4f\n", c.sample, c.showTime, c.errorMs, c.frameTime);
        else std::printf("cue %s %.1f not_found\n", c.sample, c.showTime), broken = true;
        check(c.found ? std::fabs(c.errorMs) : NAN, "--cue-ms");
    }
    std::printf("drift_ms %.2f\ndropouts %d\ndropouts_at_stops %d %.2f\nmute_peak %d\nmute_music %.3f\n", a.driftMs,
                a.dropouts, a.dropoutsAtStops, a.stopsShiftMs, a.mutePeak, a.muteMusic);
    check(std::fabs(a.driftMs), "--drift-ms");
    check(a.dropouts, "--dropouts");
    check(a.mutePeak < 0 ? NAN : a.mutePeak, "--mute-peak");
    check(a.muteMusic < 0 ? NAN : a.muteMusic, "--mute-music");
    if (leadProbe >= 0) std::printf("lead_ms %.1f\n", a.leadMs), check(a.leadMs < 0 ? NAN : a.leadMs, "--lead-ms");
    return broken ? 1 : 0;
}
