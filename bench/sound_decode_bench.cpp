// What the sound library costs: opening the 70 s stereo music from memory,
// whole or first chunk only, and mixing one device buffer of two channels.
#include "platform/sound/decoded_stream.h"
#include "platform/sound/mixer.h"
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
    const int frames = static_cast<int>(seconds * 44100);
    std::vector<float> samples(static_cast<size_t>(frames) * static_cast<size_t>(channels));
    const double pi = 3.14159265358979323846;
    for (int k = 0; k < frames; ++k) {
        double t = k / 44100.0;
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
    info.samplerate = 44100;
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

std::unique_ptr<DecodedStream> decodedWhole(const std::vector<char>& bytes) {
    return DecodedStream::open(bytes.data(), bytes.size(), -1);
}

void BM_OpenMusicDecodingAll(benchmark::State& state) {
    music();  // encoded once, outside the timing
    for (auto _ : state) {
        std::unique_ptr<DecodedStream> stream = DecodedStream::open(music().data(), music().size(), -1);
        if (!stream) {
            state.SkipWithError("the music did not open");
            return;
        }
        state.counters["frames"] = static_cast<double>(stream->readyFrames());
        state.PauseTiming();
        stream.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenMusicDecodingAll)->Unit(benchmark::kMillisecond)->Iterations(5);

// Open returns after the header and the first chunk; the decoder thread
// goes on. The time does not include the stream's destruction, which stops
// the decoder.
void BM_OpenMusicFirstChunk(benchmark::State& state) {
    music();  // encoded once, outside the timing
    const int64_t firstChunk = state.range(0);
    for (auto _ : state) {
        std::unique_ptr<DecodedStream> stream = DecodedStream::open(music().data(), music().size(), firstChunk);
        if (!stream) {
            state.SkipWithError("the music did not open");
            return;
        }
        state.PauseTiming();
        stream.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenMusicFirstChunk)
    ->Arg(4096)
    ->Arg(DecodedStream::defaultFirstChunkFrames)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

// Wall time from open until the decoder thread has published the whole
// music: how far ahead of real time (70 s) the decoder runs.
void BM_MusicDecodedInBackground(benchmark::State& state) {
    music();  // encoded once, outside the timing
    for (auto _ : state) {
        std::unique_ptr<DecodedStream> stream = DecodedStream::open(music().data(), music().size());
        while (stream && !stream->finished()) {
        }
        state.counters["frames"] = stream ? static_cast<double>(stream->readyFrames()) : 0.0;
        state.PauseTiming();
        stream.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MusicDecodedInBackground)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

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
    FSOUND_STREAM musicStream(decodedWhole(music()));
    FSOUND_STREAM sampleStream(decodedWhole(sample()));
    Mixer mixer(8);
    std::vector<int16_t> out(2 * 1024);
    for (auto _ : state) {
        if (!mixer.isPlaying(0)) mixer.play(0, &musicStream);
        if (!mixer.isPlaying(1)) mixer.play(1, &sampleStream);
        mixer.mix(out.data(), 1024);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["buffer_ms"] = 1024.0 / 44.1;
}
BENCHMARK(BM_MixTwoChannels)->Unit(benchmark::kMicrosecond);

}  // namespace
