#include "support/audio_analysis.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vesk_test {

StereoSound readRawStereo(const std::string& path) {
    StereoSound sound;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return sound;
    int16_t buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, sizeof buffer[0], 4096, file)) > 0)
        sound.samples.insert(sound.samples.end(), buffer, buffer + got);
    std::fclose(file);
    if (sound.samples.size() % 2) sound.samples.pop_back();
    return sound;
}

StereoSound decodeSoundFile(const std::string& path) {
    StereoSound sound;
    SF_INFO info;
    std::memset(&info, 0, sizeof info);
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return sound;
    if (info.channels == 1 || info.channels == 2) {
        std::vector<short> buffer(4096 * info.channels);
        sf_count_t got;
        while ((got = sf_readf_short(file, buffer.data(), 4096)) > 0) {
            for (sf_count_t i = 0; i < got; ++i) {
                short l = buffer[i * info.channels];
                short r = buffer[i * info.channels + info.channels - 1];
                sound.samples.push_back(l);
                sound.samples.push_back(r);
            }
        }
    }
    sf_close(file);
    return sound;
}

long firstFrameAbove(const StereoSound& sound, int threshold, size_t from) {
    for (size_t i = from; i < sound.frames(); ++i)
        if (std::abs(sound.left(i)) > threshold || std::abs(sound.right(i)) > threshold) return static_cast<long>(i);
    return -1;
}

int peakBetween(const StereoSound& sound, size_t from, size_t to) {
    int peak = 0;
    to = std::min(to, sound.frames());
    for (size_t i = from; i < to; ++i) peak = std::max({peak, std::abs(sound.left(i)), std::abs(sound.right(i))});
    return peak;
}

double rmsBetween(const StereoSound& sound, size_t from, size_t to) {
    to = std::min(to, sound.frames());
    if (to <= from) return 0;
    double sum = 0;
    for (size_t i = from; i < to; ++i) sum += double(sound.left(i)) * sound.left(i) + double(sound.right(i)) * sound.right(i);
    return std::sqrt(sum / (2.0 * double(to - from)));
}

StereoSound subtract(const StereoSound& mix, const StereoSound& part, long offset, double partGain) {
    StereoSound out = mix;
    for (size_t i = 0; i < part.frames(); ++i) {
        long at = offset + static_cast<long>(i);
        if (at < 0 || static_cast<size_t>(at) >= mix.frames()) continue;
        for (int side = 0; side < 2; ++side) {
            double value = mix.samples[2 * at + side] - partGain * part.samples[2 * i + side];
            out.samples[2 * at + side] = static_cast<int16_t>(std::max(-32768.0, std::min(32767.0, value)));
        }
    }
    return out;
}

}  // namespace vesk_test

namespace vesk_test {

const ShowCue showCues[4] = {
    {31.0, "data/spinefin.wav"}, {40.1, "data/carcrash.wav"}, {47.0, "data/juice.wav"}, {54.0, "data/tolvane.wav"}};

CueTimings timeShowCues(const StereoSound& recording, const StereoSound& music) {
    CueTimings timings;
    const long musicLoud = firstFrameAbove(music, 200);
    const long heardLoud = firstFrameAbove(recording, 200);
    if (musicLoud < 0 || heardLoud < musicLoud) return timings;
    timings.musicStart = heardLoud - musicLoud;
    timings.residue = subtract(recording, music, timings.musicStart);
    for (int i = 0; i < 4; ++i) {
        timings.onsets[i] = firstFrameAbove(timings.residue, 1500, timings.at(showCues[i].time - 0.2));
        if (timings.onsets[i] >= 0)
            timings.lags[i] = (timings.onsets[i] - static_cast<double>(timings.at(showCues[i].time))) / audioRate;
    }
    return timings;
}

}  // namespace vesk_test
