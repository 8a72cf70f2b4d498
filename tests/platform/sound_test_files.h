// Small sound files for the sound library's tests, written by libsndfile and
// read back as bytes, the way the show holds its files in memory; and
// streams of the library made from them.
#pragma once

#include "platform/sound/sound_stream.h"
#include "support/png_test_files.h"

#include <sndfile.h>

namespace soundtest {

// Interleaved 16-bit `samples` in `format`; empty when libsndfile refuses.
inline std::vector<char> encode(const std::vector<int16_t>& samples, int channels, int format) {
    const std::string path = vesk_test::testFilePath("sound");
    SF_INFO info{0, 44100, channels, format, 0, 0};
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    // libsndfile's MPEG encoder garbles 16-bit writes; floats convert back
    // to the same 16-bit values for PCM.
    std::vector<float> floats(samples.begin(), samples.end());
    for (float& f : floats) f /= 32768.0f;
    const bool ok = file && sf_writef_float(file, floats.data(), sf_count_t(samples.size()) / channels) * channels == sf_count_t(samples.size());
    const std::string bytes = file && sf_close(file) == 0 && ok ? vesk_test::fileBytes(path) : "";
    return std::vector<char>(bytes.begin(), bytes.end());
}
inline std::vector<char> wav16(const std::vector<int16_t>& samples, int channels = 1) {
    return encode(samples, channels, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
}

// A mono ramp whose every value differs from its neighbours', so that a
// sample out of place shows.
inline std::vector<int16_t> ramp(int frames) {
    std::vector<int16_t> samples(static_cast<size_t>(frames));
    for (int k = 0; k < frames; ++k) samples[size_t(k)] = static_cast<int16_t>((k * 7) % 20011 - 10000);
    return samples;
}

// Whether frames [first, first + count) of `out` hold `expected` from its
// frame `from` on both sides (silence outside it).
inline ::testing::AssertionResult holds(const std::vector<int16_t>& out, int first, int count,
                                         const std::vector<int16_t>& expected, int64_t from) {
    for (int i = 0; i < count; ++i) {
        const size_t k = size_t(from + i), at = 2 * size_t(first + i);
        const int16_t want = k < expected.size() ? expected[k] : 0;
        if (out[at] != want || out[at + 1] != want)
            return ::testing::AssertionFailure() << "frame " << first + i << " holds " << out[at] << ", expected " << want;
    }
    return ::testing::AssertionSuccess();
}

// Streams made from files, alive as long as the object.
struct StreamStore {
    std::vector<std::unique_ptr<std::vector<char>>> files;
    std::vector<std::unique_ptr<FSOUND_STREAM>> streams;
    FSOUND_STREAM* add(std::vector<char> file, DecodedStream::Reading reading = DecodedStream::Reading::Pulled) {
        files.push_back(std::make_unique<std::vector<char>>(std::move(file)));
        const std::vector<char>& bytes = *files.back();
        std::unique_ptr<DecodedStream> pcm = DecodedStream::open(bytes.data(), bytes.size(), reading);
        if (!pcm) return nullptr;
        streams.push_back(std::make_unique<FSOUND_STREAM>(bytes.data(), bytes.size(), std::move(pcm)));
        return streams.back().get();
    }
};

}  // namespace soundtest
