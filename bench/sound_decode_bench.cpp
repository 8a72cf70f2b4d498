// What the sound library costs: opening the 70 s stereo music from memory,
// its decoding through the ring, and mixing one device buffer of two channels.
#include "platform/desktop/software_mixer.h"
#include "platform/sound/decoded_stream.h"
#include "platform/sound/sound_stream.h"

#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

// `seconds` of a chord with a slow tremolo, at 44100 Hz, encoded by
// libsndfile as `format`: busy enough that the decoder works as on music.
std::vector<char> encodeChord(double seconds, int channels, int format) {
    const int frames = static_cast<int>(seconds * mixRate);
    std::vector<float> samples(static_cast<size_t>(frames) * static_cast<size_t>(channels));
    const double pi = 3.14159265358979323846;
    for (int k = 0; k < frames; ++k) {
        double t = k / static_cast<double>(mixRate);
        double value = 0.2 * std::sin(2 * pi * 220 * t) + 0.15 * std::sin(2 * pi * 277.2 * t) +
                       0.1 * std::sin(2 * pi * 329.6 * t) * (0.5 + 0.5 * std::sin(2 * pi * 0.5 * t));
        for (int c = 0; c < channels; ++c) {
            samples[static_cast<size_t>(k * channels + c)] = static_cast<float>(value * (c == 0 ? 1.0 : 0.8));
        }
    }
    char path[] = "/tmp/vesk_sound_bench_XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) return {};
    close(fd);
    SF_INFO info{};
    info.samplerate = mixRate;
    info.channels = channels;
    info.format = format;
    std::vector<char> bytes;
    if (SNDFILE* file = sf_open(path, SFM_WRITE, &info)) {
        sf_writef_float(file, samples.data(), frames);
        sf_close(file);
        if (FILE* in = std::fopen(path, "rb")) {
            char buffer[65536];
            size_t got;
            while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) bytes.insert(bytes.end(), buffer, buffer + got);
            std::fclose(in);
        }
    }
    std::remove(path);
    return bytes;
}

const std::vector<char>& music() {
    static const std::vector<char> bytes = encodeChord(70.0, 2, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III);
    return bytes;
}

const std::vector<char>& sample() {
    static const std::vector<char> bytes = encodeChord(3.0, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    return bytes;
}

std::unique_ptr<DecodedStream> opened(const std::vector<char>& bytes) {
    return DecodedStream::open(bytes.data(), bytes.size());
}

// Open returns after the header and the first half second; the decoder
// thread goes on.
// The time does not include the stream's destruction, which stops the
// decoder.
void BM_OpenMusic(benchmark::State& state) {
    music();  // encoded once, outside the timing
    for (auto _ : state) {
        std::unique_ptr<DecodedStream> stream = opened(music());
        if (!stream) {
            state.SkipWithError("the music did not open");
            return;
        }
        state.PauseTiming();
        stream.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenMusic)->Unit(benchmark::kMillisecond)->Iterations(20);

// The whole music decoded through the ring by its reader, as the manual
// output does: how far ahead of real time (70 s) decoding runs.
void BM_MusicPulledThrough(benchmark::State& state) {
    music();  // encoded once, outside the timing
    for (auto _ : state) {
        std::unique_ptr<DecodedStream> stream =
            DecodedStream::open(music().data(), music().size(), DecodedStream::Reading::Pulled);
        int64_t position = 0;
        for (DecodedStream::Ready ready{0, false}; stream && !ready.ended; position += 4096) {
            ready = stream->take(position, position + 4096);
        }
        state.counters["frames"] = static_cast<double>(position);
        state.PauseTiming();
        stream.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MusicPulledThrough)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_OpenSampleWav(benchmark::State& state) {
    sample();  // encoded once, outside the timing
    for (auto _ : state) {
        std::unique_ptr<DecodedStream> stream = DecodedStream::open(sample().data(), sample().size());
        benchmark::DoNotOptimize(stream.get());
    }
}
BENCHMARK(BM_OpenSampleWav)->Unit(benchmark::kMicrosecond);

// One 1024-frame device buffer with the stereo music and a mono sample
// playing, as during most of the show.
void BM_MixTwoChannels(benchmark::State& state) {
    FSOUND_STREAM musicStream(music().data(), music().size(), opened(music()));
    FSOUND_STREAM sampleStream(sample().data(), sample().size(), opened(sample()));
    SoftwareMixer mixer(8);
    std::vector<int16_t> out(2 * 1024);
    for (auto _ : state) {
        if (!mixer.isPlaying(0)) mixer.play(0, &musicStream);
        if (!mixer.isPlaying(1)) mixer.play(1, &sampleStream);
        mixer.mix(out.data(), 1024);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["buffer_ms"] = 1024.0 * 1000 / mixRate;
}
BENCHMARK(BM_MixTwoChannels)->Unit(benchmark::kMicrosecond);

}  // namespace
