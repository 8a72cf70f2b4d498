// Reads a sound file with libsndfile for the tests and measures its energy
// over time.
#pragma once

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

struct DecodedSound {
    bool opened = false;
    int sampleRate = 0;
    int channels = 0;
    int format = 0;
    std::vector<float> mono;  // the channels averaged, -1..1
    float channelPeak = 0;    // the largest absolute sample of any channel

    double seconds() const { return sampleRate ? double(mono.size()) / sampleRate : 0; }

    // Root mean square of the samples from `from` to `to` seconds.
    double rms(double from, double to) const {
        size_t a = size_t(std::max(0.0, from) * sampleRate), b = std::min(mono.size(), size_t(to * sampleRate));
        if (b <= a) return 0;
        double sum = 0;
        for (size_t i = a; i < b; ++i) sum += double(mono[i]) * mono[i];
        return std::sqrt(sum / double(b - a));
    }

    // Start (s) of the first `window`-long stretch whose RMS reaches
    // `fraction` of the loudest such stretch: where the sound's energy
    // begins.
    double energyOnset(double window, double fraction) const {
        double loudest = 0;
        for (double t = 0; t + window <= seconds(); t += window) loudest = std::max(loudest, rms(t, t + window));
        for (double t = 0; t + window <= seconds(); t += window)
            if (rms(t, t + window) >= fraction * loudest) return t;
        return seconds();
    }

    // Start (s) of the loudest `window`-long stretch, stepping by `step`.
    double loudestAt(double window, double step) const {
        double best = 0, at = 0;
        for (double t = 0; t + window <= seconds(); t += step) {
            double r = rms(t, t + window);
            if (r > best) best = r, at = t;
        }
        return at;
    }
};

inline DecodedSound decodeSound(const std::string& path) {
    DecodedSound sound;
    SF_INFO info;
    std::memset(&info, 0, sizeof info);
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return sound;
    sound.opened = true;
    sound.sampleRate = info.samplerate;
    sound.channels = info.channels;
    sound.format = info.format;
    std::vector<float> block(4096 * size_t(info.channels));
    sf_count_t got;
    while ((got = sf_readf_float(file, block.data(), 4096)) > 0) {
        for (sf_count_t i = 0; i < got; ++i) {
            float sum = 0;
            for (int c = 0; c < info.channels; ++c) {
                float v = block[size_t(i) * size_t(info.channels) + size_t(c)];
                sum += v;
                sound.channelPeak = std::max(sound.channelPeak, std::fabs(v));
            }
            sound.mono.push_back(sum / float(info.channels));
        }
    }
    sf_close(file);
    return sound;
}
