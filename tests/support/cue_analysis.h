// The one analysis of a recording of the show's sound: where the music
// starts, how far it drifts, its dropouts, where each sample cue is heard
// against its place in the music, and what is heard while the music is
// muted. Used by the whole-show tests, the capture's tests and the
// benchmarks, through the program vesk-cue-check or directly.
//
// Recordings are at the mix rate (44100 Hz), stereo 16-bit: raw little-endian interleaved
// (SDL's disk driver, parec --format=s16le) or any file libsndfile reads
// (named *.wav). The music and the samples are matched sample by sample,
// within a tolerance that a good resampler's error stays inside; only
// mute_peak needs our own mix unchanged.
//
// A cue's place in the music is the show time of the frame that made the
// call: the first frame at or after the cue's time. A real-time run lags by
// up to a frame there, which is the frame loop's, not the sound's; given the
// frames' show times (bench/libvesk_swap_shim.so's VESK_FRAME_TIMES), the
// analysis counts as on time a cue heard from its time to the frame's
// latest time, and measures its error outside that span; otherwise from the
// cue's own time.
//
// A virtual machine's host stops one of its CPUs, or all, now and then, for
// tens of ms, and whatever thread was on it. A sound server whose graph
// runs on a timer, as PipeWire's does, then runs the cycles it missed back
// to back, without waiting for its clients, and each such cycle is heard
// as silence; a recorder that was stopped too loses cycles. Given the
// machine's stops, the analysis tells the dropouts that began at a stop
// from the others, and takes the music's shift across the stops out of its
// drift.
//
// The pictures' lead over the sound is measured where the stage stopped
// for a moment what fills a sound server's buffers for the show (the lead
// probe): the server's output falls silent then, once it has played what
// it was handed already, so the music's place where that silence begins is
// the music heard at the probe's show time, that little later.
//
// vesk-cue-check [--data DIR] [--frames FILE] [--stops FILE] [--cue-ms X]
//                [--drift-ms X] [--dropouts N] [--mute-peak N]
//                [--mute-music X] [--lead-probe T] [--lead-ms X] RECORDING
//   DIR holds the show's data files (default: data); FILE the frames' show
//   times, one a line, in seconds; --stops the machine's stops, "from to" a
//   line, in seconds of show time, in order, none within 0.25 s of the next;
//   T the lead probe's show time, in s, which --stops must hold too.
//   Prints one line per figure, "name value" (times in ms, show times in s):
//     music_start_s 0.213
//     cue spinefin.wav 31.0 +0.45 31.0007   (one per cue: file, time, error,
//                                            show time of its frame)
//     drift_ms 0.00                   (music at 62 s against its start,
//                                      less its shift at machine stops)
//     dropouts 0                      (runs of >= 1 ms of digital silence,
//                                      none at a machine stop)
//     dropouts_at_stops 0  0.00       (those at machine stops; the shift)
//     mute_peak 3                     (largest sample besides the crash,
//                                      40.2 to 45.0 s of show time)
//     mute_music 0.012                (the music's largest share there)
//     lead_ms 37.2                    (given a lead probe; -1 when no
//                                      silence began at it)
//   Exit status: 0 when every limit given holds; 1 when one is broken, the
//   music or a cue is not found; 2 for bad options or an unreadable file.
#pragma once

#include "platform/sound/mix_rate.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace cue {

constexpr int rate = mixRate;

// Interleaved left, right.
struct Stereo {
    std::vector<int16_t> samples;
    long frames() const { return static_cast<long>(samples.size() / 2); }
    int at(long frame, int side) const { return samples[2 * static_cast<size_t>(frame) + side]; }
};

// *.wav (any case) through libsndfile, anything else as raw s16le stereo.
// Empty when unreadable.
Stereo readRecording(const std::string& path);
// Any file libsndfile reads; mono goes to both sides.
Stereo readSound(const std::string& path);

inline long framesAt(double seconds) { return static_cast<long>(seconds * rate + (seconds < 0 ? -0.5 : 0.5)); }

struct CueResult {
    const char* sample;
    double showTime;
    bool found = false;
    // The latest show time at which the frame that made the call can have
    // read the clock: the return of the first swap at or after the cue's
    // time. The call came between the cue's time and this.
    double frameTime = 0;
    double errorMs = 0;  // heard before the cue's time (< 0) or after frameTime (> 0)
    long onset = -1;     // frame of the recording where the sample starts
};

// A CPU of the machine stopped, in seconds of show time.
struct MachineStop {
    double from, to;
};

struct Analysis {
    bool musicFound = false;
    long musicStart = -1;  // frame of the recording holding the music's frame 0
    double driftMs = 0;    // later is positive; without stopsShiftMs
    int dropouts = 0;      // not at a machine stop
    // Dropouts begun in the music from 0.15 s before a machine stop's show
    // time to 0.1 s after it, both less the music's lag beyond 50 ms behind
    // its show time that the dropouts at the stop before showed; and how
    // much later the music runs across all the stops before 62 s.
    int dropoutsAtStops = 0;
    double stopsShiftMs = 0;
    std::vector<CueResult> cues;
    // The mute window, 40.2 to 45.0 s of show time; -1 when the crash cue was
    // not found. mutePeak: the largest sample besides the crash, for a
    // recording of our own mix unchanged. muteMusic: the largest share of
    // the music heard in a 50 ms block (1 = at full level), which holds
    // through a resampler.
    int mutePeak = -1;
    double muteMusic = -1;
    // In ms: the lead probe's show time less the music's place where the
    // first dropout at it began (from 0.15 s before to 0.1 s after).
    double leadMs = -1;
};

// `dataDir` holds kelpwake.mp3 and the samples; `frameTimes` the frames'
// show times in ascending order, or nothing; `stops` in order, none within
// 0.25 s of the next; `leadProbe` the lead probe's show time, or < 0.
Analysis analyse(const Stereo& recording, const std::string& dataDir, const std::vector<double>& frameTimes = {},
                 const std::vector<MachineStop>& stops = {}, double leadProbe = -1);
// The numbers in a text file, in order; empty when unreadable.
std::vector<double> readNumbers(const std::string& path);

}  // namespace cue
