// Small sound files for the sound library's tests, written by libsndfile and
// read back as bytes, the way the show holds its files in memory; and
// streams of the library made from them.
#pragma once

#include "platform/sound/sound_stream.h"

#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <unistd.h>
#include <vector>

namespace soundtest {

// Interleaved 16-bit `samples` in `format`; empty when libsndfile refuses.
inline std::vector<char> encode(const std::vector<int16_t>& samples, int channels, int format, int rate = 44100) {
    char path[] = "/tmp/vesk_sound_test_XXXXXX";
    close(mkstemp(path));
    SF_INFO info{0, rate, channels, format, 0, 0};
    std::vector<char> bytes;
    if (SNDFILE* file = sf_open(path, SFM_WRITE, &info)) {
        // libsndfile's MPEG encoder garbles 16-bit writes; floats convert
        // back to the same 16-bit values for PCM.
        std::vector<float> floats(samples.begin(), samples.end());
        for (float& f : floats) f /= 32768.0f;
        const sf_count_t frames = static_cast<sf_count_t>(samples.size()) / channels;
        const bool ok = sf_writef_float(file, floats.data(), frames) == frames;
        std::ifstream in(path, std::ios::binary);
        if (sf_close(file) == 0 && ok) bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::remove(path);
    return bytes;
}
inline std::vector<char> wav16(const std::vector<int16_t>& samples, int channels = 1, int rate = 44100) {
    return encode(samples, channels, SF_FORMAT_WAV | SF_FORMAT_PCM_16, rate);
}
inline std::vector<char> mp3(const std::vector<int16_t>& samples, int channels) {
    return encode(samples, channels, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III);
}

// A mono ramp whose every value differs from its neighbours', so that a
// sample out of place shows.
inline int16_t rampValue(int64_t frame) { return static_cast<int16_t>((frame * 7) % 20011 - 10000); }
inline std::vector<int16_t> ramp(int frames) {
    std::vector<int16_t> samples(static_cast<size_t>(frames));
    for (int k = 0; k < frames; ++k) samples[static_cast<size_t>(k)] = rampValue(k);
    return samples;
}

// `silentFrames` of silence, then a sine of `hz` at `amplitude` (0..1) for
// `frames`, on every channel.
inline std::vector<int16_t> tone(int silentFrames, int frames, double hz, double amplitude, int channels) {
    std::vector<int16_t> samples(static_cast<size_t>(silentFrames * channels), 0);
    for (int k = 0; k < frames; ++k)
        samples.insert(samples.end(), static_cast<size_t>(channels),
                       static_cast<int16_t>(std::lround(amplitude * 32767 * std::sin(2 * M_PI * hz * k / 44100))));
    return samples;
}

// Streams made from files, alive as long as the object.
struct StreamStore {
    std::vector<std::unique_ptr<std::vector<char>>> files;
    std::vector<std::unique_ptr<FSOUND_STREAM>> streams;

    FSOUND_STREAM* add(std::vector<char> file) {
        files.push_back(std::make_unique<std::vector<char>>(std::move(file)));
        streams.push_back(std::make_unique<FSOUND_STREAM>(DecodedStream::open(files.back()->data(), files.back()->size(), -1)));
        return streams.back()->pcm ? streams.back().get() : nullptr;
    }
};

}  // namespace soundtest
