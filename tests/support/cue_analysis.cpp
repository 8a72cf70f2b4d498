#include "support/cue_analysis.h"

#include "support/show_assets.h"

#include <sndfile.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <strings.h>

namespace cue {

namespace {

Stereo read(const std::string& path, bool raw) {
    Stereo sound;
    SF_INFO info = raw ? SF_INFO{0, rate, 2, SF_FORMAT_RAW | SF_FORMAT_PCM_16 | SF_ENDIAN_LITTLE, 0, 0} : SF_INFO{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    std::vector<short> buffer(8192);
    for (sf_count_t got; file && info.channels <= 2 && (got = sf_readf_short(file, buffer.data(), 4096)) > 0;)
        for (sf_count_t i = 0; i < got; ++i)
            sound.samples.insert(sound.samples.end(), {buffer[i * info.channels], buffer[i * info.channels + info.channels - 1]});
    if (file) sf_close(file);
    return sound;
}

// Where `part` (its frames from `partFirst`, `count` of them) lies in the
// recording, searched from frame `from` to `to`: the placement with the
// smallest mean absolute difference, the music placed at `musicStart` (when
// `music` is given) being taken out too. Returns -1 when nothing fits.
long bestFit(const Stereo& rec, const Stereo& part, long partFirst, long count, long from, long to,
             const Stereo* music = nullptr, long musicStart = 0) {
    long best = -1;
    double bestCost = 1500;  // a fit this poor is no fit
    count = std::min(count, part.frames() - partFirst);
    for (long at = std::max(from, 0L); at <= to && at + count <= rec.frames(); ++at) {
        double cost = 0;
        for (long i = 0; i < count && cost < bestCost * 2 * count; ++i) {
            for (int side = 0; side < 2; ++side) {
                long m = at + i - musicStart;
                int expected = part.at(partFirst + i, side);
                if (music && m >= 0 && m < music->frames()) expected += music->at(m, side);
                cost += std::abs(rec.at(at + i, side) - std::clamp(expected, -32768, 32767));
            }
        }
        if ((cost /= 2.0 * count) < bestCost) bestCost = cost, best = at;
    }
    return best;
}

long firstLoud(const Stereo& sound, int threshold) {
    for (long f = 0; f < sound.frames(); ++f)
        if (std::abs(sound.at(f, 0)) > threshold || std::abs(sound.at(f, 1)) > threshold) return f;
    return -1;
}

// The music's start found again from its frames at `showSeconds`, within
// half a second of `start` (dropouts delay the rest of the music), and
// confirmed by the next 0.1 s of the music fitting best in its place: none
// where a sample hides the music and a wrong placement happens to fit.
long musicStartNear(const Stereo& rec, const Stereo& music, long start, double showSeconds) {
    const long m = framesAt(showSeconds), next = framesAt(0.1);
    const long at = bestFit(rec, music, m, next, start + m - framesAt(0.5), start + m + framesAt(0.5));
    return at >= 0 && bestFit(rec, music, m + next, next, at + next - framesAt(0.5), at + next + framesAt(0.5)) == at + next ? at - m : -1;
}

// What is heard from 40.2 to 45.0 s of show time besides the crash placed
// at `onset`: the largest difference to it, and the music's share in each
// 50 ms block where the music is not quiet, as the gain by which the
// music at its place (or a frame either side, for a resampler's shift)
// best fits what is left: about 1 when the music is heard, about 0 when not.
void muteWindow(const Stereo& rec, const Stereo& music, const Stereo& crash, long musicStart, long onset, Analysis& result) {
    result.mutePeak = 0;
    result.muteMusic = 0;
    const long block = framesAt(0.05), end = std::min(rec.frames(), musicStart + framesAt(45.0));
    for (long first = musicStart + framesAt(40.2); first + block <= end; first += block) {
        double fit[3] = {}, power[3] = {};
        for (long f = first; f < first + block; ++f) {
            for (int side = 0; side < 2; ++side) {
                const long s = f - onset;
                const int rest = rec.at(f, side) - (s >= 0 && s < crash.frames() ? crash.at(s, side) : 0);
                result.mutePeak = std::max(result.mutePeak, std::abs(rest));
                for (int k = 0; k < 3; ++k) {
                    const long m = f - musicStart + k - 1;
                    const double heard = m >= 0 && m < music.frames() ? music.at(m, side) : 0;
                    fit[k] += rest * heard, power[k] += heard * heard;
                }
            }
        }
        for (int k = 0; k < 3; ++k)
            if (power[k] > 2.0 * block * 300 * 300) result.muteMusic = std::max(result.muteMusic, fit[k] / power[k]);
    }
}

}  // namespace

Stereo readSound(const std::string& path) { return read(path, false); }
Stereo readRecording(const std::string& path) {
    return read(path, path.size() < 4 || strcasecmp(path.c_str() + path.size() - 4, ".wav") != 0);
}

std::vector<double> readNumbers(const std::string& path) {
    std::ifstream in(path);
    return std::vector<double>(std::istream_iterator<double>(in), std::istream_iterator<double>());
}

Analysis analyse(const Stereo& rec, const std::string& dataDir, const std::vector<double>& frameTimes,
                 const std::vector<MachineStop>& stops, double leadProbe) {
    Analysis result;
    const Stereo music = readSound(dataDir + "/kelpwake.mp3");
    const long musicLoud = firstLoud(music, 200), heardLoud = firstLoud(rec, 200);
    if (musicLoud < 0 || heardLoud < musicLoud) return result;
    const long start = result.musicStart = musicStartNear(rec, music, heardLoud - musicLoud, static_cast<double>(musicLoud) / rate);
    if (!(result.musicFound = start >= 0)) return result;

    // Digital silence of 1 ms or more where the music is not silent; the
    // mute, its edges and the show's end are left out. The music is heard
    // tens of ms after its show time, and later still after a stop that a
    // graph played as silence: `lag`, beyond 50 ms, as the dropouts at the
    // stop before showed it.
    double lag = 0;
    const auto last = [&] { return std::min({rec.frames(), start + music.frames(), start + framesAt(68.4 - lag)}); };
    for (long f = start, run = 0; f <= last(); ++f) {
        if (f < last() && rec.at(f, 0) == 0 && rec.at(f, 1) == 0 && ++run) continue;
        const long inMusic = f - run - start;
        const bool musicPlays = std::any_of(music.samples.data() + 2 * inMusic, music.samples.data() + 2 * (inMusic + run), [](int16_t s) { return s != 0; });
        if (run >= rate / 1000 && musicPlays && (inMusic + run < framesAt(40.0) || inMusic > framesAt(45.3))) {
            if (leadProbe >= 0 && result.leadMs < 0 && std::abs(inMusic - framesAt(leadProbe - 0.025)) <= framesAt(0.125))
                result.leadMs = leadProbe * 1000 - inMusic * 1000.0 / rate;
            const auto stop = std::find_if(stops.begin(), stops.end(), [inMusic, lag](const MachineStop& s) {
                return inMusic >= framesAt(s.from - lag - 0.15) && inMusic <= framesAt(s.to - lag + 0.1);
            });
            if (stop == stops.end()) ++result.dropouts;
            else ++result.dropoutsAtStops, lag = std::max(0.0, stop->from - inMusic * 1.0 / rate - 0.05);
        }
        run = 0;
    }
    // The music's shift across each stop, found again either side of it
    // (outside the mute, and up to 1.8 s further out past a sample that
    // hides it; before the music, its start), with or without a dropout
    // heard: later by the silence a graph played, earlier by the cycles a
    // recorder lost. Stops close together share the music found between
    // them.
    const auto unmuted = [](double at, double outside) { return at > 39.9 && at < 45.3 ? outside : at; };
    long after = -1;
    double afterAt = -1;
    for (size_t i = 0; i < stops.size() && stops[i].to < 61.5; ++i) {
        long before = -1;
        for (double at = unmuted(stops[i].from - 0.3, 39.9), k = 0; before < 0 && k < 10; at -= 0.2, ++k)
            before = after >= 0 && at < afterAt + 0.1 ? after : at < 0 ? start : musicStartNear(rec, music, start, at);
        after = -1;
        for (double at = unmuted(stops[i].to + 0.25, 45.3), k = 0; after < 0 && k < 10; at += 0.2, ++k)
            after = musicStartNear(rec, music, before < 0 ? start : before, afterAt = at);
        if (before >= 0 && after >= 0) result.stopsShiftMs += (after - before) * 1000.0 / rate;
    }
    const long end62 = musicStartNear(rec, music, start, 62.0);
    result.driftMs = end62 < 0 ? 1e9 : (end62 - start) * 1000.0 / rate - result.stopsShiftMs;

    for (const SampleCue& sampleCue : sampleCues) {
        CueResult cue{sampleCue.sample, sampleCue.showTime};
        const auto frame = std::lower_bound(frameTimes.begin(), frameTimes.end(), sampleCue.showTime);
        cue.frameTime = frame == frameTimes.end() ? sampleCue.showTime : *frame;
        const Stereo sample = readSound(dataDir + "/" + sampleCue.sample);
        const long localStart = musicStartNear(rec, music, start, sampleCue.showTime - 0.6);
        const long loud = firstLoud(sample, 1000);
        if (localStart >= 0 && loud >= 0) {
            // The call came between the cue's time and the frame's latest time.
            const long earliest = localStart + framesAt(sampleCue.showTime), latest = localStart + framesAt(cue.frameTime);
            // A muted cue is also sought with the music under it, so that a
            // mute not kept is reported by the mute window's figures.
            auto fit = [&](const Stereo* under) {
                return bestFit(rec, sample, loud, framesAt(0.05), earliest + loud - framesAt(0.05),
                               latest + loud + framesAt(0.15), under, localStart);
            };
            long at = fit(sampleCue.musicAudible ? &music : nullptr);
            if (at < 0 && !sampleCue.musicAudible) at = fit(&music);
            if ((cue.found = at >= 0)) {
                cue.onset = at - loud;
                const long off = cue.onset < earliest ? cue.onset - earliest : std::max(0L, cue.onset - latest);
                cue.errorMs = off * 1000.0 / rate;
            }
        }
        if (!sampleCue.musicAudible && cue.found) muteWindow(rec, music, sample, localStart, cue.onset, result);
        result.cues.push_back(cue);
    }
    return result;
}

}  // namespace cue
