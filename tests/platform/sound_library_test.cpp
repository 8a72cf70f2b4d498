// The sound library's calls: its life cycle, and a real device (SDL's
// "dummy" driver) mixing on its own thread while the main thread plays and
// mutes, the test ThreadSanitizer builds check.
#include "platform/sound/fsound.h"
#include "platform/sound/sound_output.h"
#include "sound_test_files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace soundtest;

static FSOUND_STREAM* open(const std::vector<char>& bytes, unsigned int mode = FSOUND_LOADMEMORY) {
    return FSOUND_Stream_Open(bytes.data(), mode, 0, static_cast<int>(bytes.size()));
}
static std::atomic<int> syncCalls{0};

TEST(SoundLifeCycle, InitCloseAndHandlesKeptPastClose) {
    setSoundOutput(SoundOutput::Manual);
    const std::vector<int16_t> r = ramp(100);
    const std::vector<char> wav = wav16(r);
    FSOUND_STREAM* stream = open(wav);
    EXPECT_EQ(FSOUND_Stream_Play(0, stream), -1) << "not initialised";
    ASSERT_EQ(FSOUND_Init(44100, 8, 0), 1);
    EXPECT_NE(FSOUND_Stream_AddSyncPoint(stream, 10, ""), nullptr);
    EXPECT_EQ(FSOUND_Stream_Play(7, stream), 7);
    EXPECT_EQ(FSOUND_Stream_AddSyncPoint(stream, 20, ""), nullptr) << "fixed from the first play";
    EXPECT_EQ(FSOUND_Stream_SetSyncCallback(stream, nullptr, nullptr), 0);
    std::vector<int16_t> out(4);
    mixSound(out.data(), 2);
    EXPECT_EQ(out, (std::vector<int16_t>{r[0], r[0], r[1], r[1]}));
    FSOUND_Close();
    FSOUND_Close();
    EXPECT_EQ(FSOUND_Stream_Play(0, stream), -1) << "a handle kept past Close counts as null";
    mixSound(out.data(), 2);
    EXPECT_EQ(out, std::vector<int16_t>(4, 0));
    setSoundOutput(SoundOutput::Device);
}

TEST(SoundLifeCycle, AStreamLongerThanItsRingPlaysAgainFromItsStartWhileTheFirstPassPlaysOn) {
    setSoundOutput(SoundOutput::Manual);
    ASSERT_EQ(FSOUND_Init(44100, 8, 0), 1);
    const int frames = 200000;
    const std::vector<int16_t> r = ramp(frames);
    const std::vector<char> bytes = encode(r, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    FSOUND_STREAM* stream = open(bytes);
    ASSERT_EQ(FSOUND_Stream_Play(0, stream), 0);
    const int played = frames - 1000;
    std::vector<int16_t> first(2 * size_t(played));
    mixSound(first.data(), played);
    ASSERT_EQ(FSOUND_Stream_Play(1, stream), 1);
    std::vector<int16_t> again(2 * size_t(frames));
    mixSound(again.data(), frames);
    EXPECT_TRUE(holds(first, 0, played, r, 0));
    // The ramp's values stay far enough from the limits that two never clip.
    std::vector<int16_t> both = r;
    for (int f = 0; f < 1000; ++f) both[size_t(f)] += r[size_t(played + f)];
    EXPECT_TRUE(holds(again, 0, frames, both, 0));
    FSOUND_Close();
    setSoundOutput(SoundOutput::Device);
}

TEST(SoundDevice, DummyDeviceMixesOnItsThreadWhileTheMainThreadPlaysAndMutes) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(FSOUND_Init(44100, 8, 0), 1);
    const std::vector<char> musicBytes = encode(ramp(3 * 44100), 1, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III);
    const std::vector<char> sampleBytes = wav16(ramp(2000));
    FSOUND_STREAM* music = open(musicBytes, FSOUND_LOADMEMORY | FSOUND_MPEGACCURATE);
    FSOUND_Stream_SetSyncCallback(music, [](FSOUND_STREAM*, void*, int, void*) -> signed char { return ++syncCalls, 0; }, nullptr);
    FSOUND_Stream_AddSyncPoint(music, 44100, "");
    syncCalls = 0;
    ASSERT_EQ(FSOUND_Stream_Play(0, music), 0);
    for (int i = 0; i < 200; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(1))) {
        FSOUND_SetMute(0, i % 2 == 0);
        if (i % 20 == 0) FSOUND_Stream_Play(1, open(sampleBytes));
    }
    for (int wait = 0; wait < 3000 && syncCalls == 0; ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(syncCalls, 1) << "the device thread reached 1 s into the music";
    FSOUND_Close();
    const int callsAtClose = syncCalls;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(syncCalls, callsAtClose) << "nothing mixes after Close";
}
