// Small sound files for the sound library's tests, written with libsndfile
// into a temporary file and read back as bytes, the way the show holds its
// files in memory.
#pragma once

#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace soundtest {

inline std::vector<char> readWhole(const std::string& path) {
    std::vector<char> bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(file);
    return bytes;
}

// Encodes interleaved 16-bit `samples` with libsndfile in `format`; empty
// when libsndfile refuses.
inline std::vector<char> encode(const std::vector<int16_t>& samples, int channels, int format, int rate = 44100) {
    char path[] = "/tmp/vesk_sound_test_XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) return {};
    close(fd);
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    std::vector<char> bytes;
    if (SNDFILE* file = sf_open(path, SFM_WRITE, &info)) {
        sf_count_t frames = static_cast<sf_count_t>(samples.size()) / channels;
        // libsndfile 1.2.0's MPEG encoder garbles 16-bit writes; floats
        // reach it intact, and convert back to the same 16-bit values for PCM.
        std::vector<float> floats(samples.size());
        for (size_t i = 0; i < samples.size(); ++i) floats[i] = static_cast<float>(samples[i]) / 32768.0f;
        bool ok = sf_writef_float(file, floats.data(), frames) == frames;
        if (sf_close(file) == 0 && ok) bytes = readWhole(path);
    }
    std::remove(path);
    return bytes;
}

inline std::vector<char> wav16(const std::vector<int16_t>& samples, int channels, int rate = 44100) {
    return encode(samples, channels, SF_FORMAT_WAV | SF_FORMAT_PCM_16, rate);
}

inline std::vector<char> mp3(const std::vector<int16_t>& samples, int channels) {
    return encode(samples, channels, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III);
}

// A mono ramp whose every value differs from its neighbours', so a sample
// out of place shows: frame k holds (k * 7) % 20011 - 10000.
inline int16_t rampValue(int64_t frame) { return static_cast<int16_t>((frame * 7) % 20011 - 10000); }
inline std::vector<int16_t> ramp(int frames) {
    std::vector<int16_t> samples(static_cast<size_t>(frames));
    for (int k = 0; k < frames; ++k) samples[static_cast<size_t>(k)] = rampValue(k);
    return samples;
}

// `silentFrames` of silence, then a sine of `hz` at `amplitude` for
// `toneFrames`, on every channel.
inline std::vector<int16_t> tone(int silentFrames, int toneFrames, double hz, double amplitude, int channels) {
    std::vector<int16_t> samples(static_cast<size_t>((silentFrames + toneFrames) * channels), 0);
    const double pi = 3.14159265358979323846;
    for (int k = 0; k < toneFrames; ++k) {
        int16_t value = static_cast<int16_t>(std::lround(amplitude * 32767.0 * std::sin(2 * pi * hz * k / 44100.0)));
        for (int c = 0; c < channels; ++c) samples[static_cast<size_t>((silentFrames + k) * channels + c)] = value;
    }
    return samples;
}

}  // namespace soundtest
