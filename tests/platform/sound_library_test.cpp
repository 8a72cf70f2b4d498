// The sound library's calls: what opening refuses, the life cycle, no
// device, and a real device (SDL's "dummy" driver) mixing on its own thread
// while the main thread plays and mutes, the test ThreadSanitizer builds
// check.
#include "platform/sound/fsound.h"
#include "platform/sound/sound_output.h"
#include "sound_test_files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

using namespace soundtest;

namespace {

FSOUND_STREAM* open(const std::vector<char>& bytes, unsigned int mode = FSOUND_LOADMEMORY) {
    return FSOUND_Stream_Open(bytes.data(), mode, 0, static_cast<int>(bytes.size()));
}

std::atomic<int> syncCalls{0};
signed char countSync(FSOUND_STREAM*, void*, int, void*) {
    syncCalls.fetch_add(1);
    return 0;
}

}  // namespace

TEST(SoundLifeCycle, OpeningRefusesWhatCannotBePlayedAsItIs) {
    const std::vector<char> wav = wav16(ramp(100));
    std::vector<char> noise(4000);
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>(i * 2654435761u >> 13);
    EXPECT_EQ(open(noise), nullptr);
    EXPECT_EQ(open(std::vector<char>(wav.begin(), wav.begin() + 44)), nullptr) << "a header and no sample";
    EXPECT_EQ(open(wav16(ramp(100), 1, 48000)), nullptr) << "nothing is resampled";
    EXPECT_EQ(open(wav16(ramp(99), 3)), nullptr) << "three channels";
    EXPECT_EQ(open(wav, 0), nullptr) << "file names are not provided for";
    EXPECT_EQ(FSOUND_Stream_Open(wav.data(), FSOUND_LOADMEMORY, 4, static_cast<int>(wav.size())), nullptr);
    EXPECT_EQ(FSOUND_Stream_Open(wav.data(), FSOUND_LOADMEMORY, 0, 0), nullptr);
    EXPECT_NE(open(wav), nullptr);
    FSOUND_Close();
}

TEST(SoundLifeCycle, InitCloseAndHandlesKeptPastClose) {
    setSoundOutput(SoundOutput::Manual);
    EXPECT_EQ(FSOUND_Init(48000, 8, 0), 0);
    EXPECT_EQ(FSOUND_Init(44100, 33, 0), 0);
    const std::vector<char> wav = wav16(ramp(100));
    FSOUND_STREAM* stream = open(wav);
    EXPECT_EQ(FSOUND_Stream_Play(0, stream), -1) << "not initialised";
    ASSERT_EQ(FSOUND_Init(44100, 8, 0), 1);
    EXPECT_EQ(FSOUND_Stream_Play(8, stream), -1);
    EXPECT_EQ(FSOUND_Stream_Play(0, nullptr), -1);
    EXPECT_EQ(FSOUND_SetMute(-1, 1), 0);
    EXPECT_EQ(FSOUND_Stream_Play(7, stream), 7);
    std::vector<int16_t> out(4);
    mixSound(out.data(), 2);
    EXPECT_EQ(out, (std::vector<int16_t>{rampValue(0), rampValue(0), rampValue(1), rampValue(1)}));
    FSOUND_Close();
    FSOUND_Close();
    EXPECT_EQ(FSOUND_Stream_Play(0, stream), -1) << "a handle kept past Close counts as null";
    EXPECT_EQ(FSOUND_Stream_AddSyncPoint(stream, 0, ""), nullptr);
    mixSound(out.data(), 2);
    EXPECT_EQ(out, std::vector<int16_t>(4, 0));
    setSoundOutput(SoundOutput::Device);
}

TEST(SoundLifeCycle, WithoutADeviceEveryCallSucceedsSilently) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    ASSERT_EQ(FSOUND_Init(44100, 8, 0), 1);
    const std::vector<char> wav = wav16(std::vector<int16_t>(44100, 1000));
    FSOUND_STREAM* music = open(wav);
    EXPECT_EQ(FSOUND_Stream_SetSyncCallback(music, &countSync, nullptr), 1);
    EXPECT_NE(FSOUND_Stream_AddSyncPoint(music, 0, ""), nullptr);
    EXPECT_EQ(FSOUND_Stream_Play(0, music), 0);
    EXPECT_EQ(FSOUND_SetMute(0, 1), 1);
    std::vector<int16_t> out(20, 99);
    mixSound(out.data(), 10);
    EXPECT_EQ(out, std::vector<int16_t>(20, 0)) << "the mix is not pulled by hand in device output";
    FSOUND_Close();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

TEST(SoundDecoder, LongMp3IsPlayableAtOnceAndDecodedBehindThePlayback) {
    const std::vector<char> bytes = mp3(tone(0, 20 * 44100, 440.0, 0.5, 2), 2);
    std::unique_ptr<DecodedStream> pcm = DecodedStream::open(bytes.data(), bytes.size(), 4096);
    ASSERT_NE(pcm, nullptr);
    EXPECT_EQ(pcm->channels(), 2);
    EXPECT_GE(pcm->readyFrames(), 4096);
    while (!pcm->finished()) std::this_thread::yield();
    EXPECT_EQ(pcm->readyFrames(), 20 * 44100);
    int64_t contiguous = 0;
    double energy = 0;
    for (int64_t f = 44100; f < 2 * 44100; ++f) energy += std::pow(pcm->framesAt(f, contiguous)[0], 2);
    EXPECT_NEAR(std::sqrt(energy / 44100), 0.5 * 32767 / std::sqrt(2.0), 300) << "level of the decoded tone";
    // Destroyed while decoding: the decoder stops between two reads.
    pcm = DecodedStream::open(bytes.data(), bytes.size(), 1);
    ASSERT_FALSE(pcm->finished());
    pcm.reset();
}

TEST(SoundDevice, DummyDeviceMixesOnItsThreadWhileTheMainThreadPlaysAndMutes) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(FSOUND_Init(44100, 8, 0), 1);
    const std::vector<char> musicBytes = mp3(tone(0, 3 * 44100, 440.0, 0.3, 2), 2), sampleBytes = wav16(ramp(2000));
    FSOUND_STREAM* music = open(musicBytes, FSOUND_LOADMEMORY | FSOUND_MPEGACCURATE);
    FSOUND_STREAM* sample = open(sampleBytes);
    FSOUND_Stream_SetSyncCallback(music, &countSync, nullptr);
    FSOUND_Stream_AddSyncPoint(music, 44100, "");
    syncCalls = 0;
    ASSERT_EQ(FSOUND_Stream_Play(0, music), 0);
    for (int i = 0; i < 200; ++i) {
        FSOUND_SetMute(0, i % 2 == 0);
        if (i % 20 == 0) FSOUND_Stream_Play(1, sample);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (syncCalls == 0 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    EXPECT_EQ(syncCalls, 1) << "the device thread reached 1 s into the music";
    FSOUND_Close();
    const int callsAtClose = syncCalls;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(syncCalls, callsAtClose) << "nothing mixes after Close";
}
