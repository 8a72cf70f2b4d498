// The sound library's calls: its life cycle, and a real device (SDL's
// "dummy" driver) mixing on its own thread while the main thread plays and
// mutes, the test ThreadSanitizer builds check.
#include "platform/sound/fsound.h"
#include "platform/sound/sound_output.h"
#include "sound_test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    EXPECT_EQ(FSOUND_Stream_Play(7, stream), 7);
    std::vector<int16_t> out(4);
    mixSound(out.data(), 2);
    EXPECT_EQ(out, (std::vector<int16_t>{r[0], r[0], r[1], r[1]}));
    // Mixed at once, faster than any decoder thread, a stream longer than its
    // ring plays whole: a 440 Hz tone is silent for a frame or two at
    // its zero crossings (past the encoder's lead-in), never longer.
    const int frames = 30 * 44100;
    const std::vector<char> toneBytes = mp3(tone(frames), 2);
    FSOUND_STREAM* toneStream = open(toneBytes);
    ASSERT_EQ(FSOUND_Stream_Play(0, toneStream), 0);
    std::vector<int16_t> all(2 * size_t(frames)), again(all.size());
    mixSound(all.data(), frames);
    int run = 0, longest = 0;
    for (size_t f = 4410; f < size_t(frames) - 4410; ++f) longest = std::max(longest, run = all[2 * f] || all[2 * f + 1] ? 0 : run + 1);
    EXPECT_LT(longest, 8);
    // Played again (the ramp on channel 7 has ended), the same samples.
    ASSERT_EQ(FSOUND_Stream_Play(0, toneStream), 0);
    mixSound(again.data(), frames);
    EXPECT_TRUE(std::equal(all.begin() + 200, all.end(), again.begin() + 200));
    FSOUND_Close();
    FSOUND_Close();
    EXPECT_EQ(FSOUND_Stream_Play(0, stream), -1) << "a handle kept past Close counts as null";
    mixSound(out.data(), 2);
    EXPECT_EQ(out, std::vector<int16_t>(4, 0));
    setSoundOutput(SoundOutput::Device);
}

TEST(SoundDevice, DummyDeviceMixesOnItsThreadWhileTheMainThreadPlaysAndMutes) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(FSOUND_Init(44100, 8, 0), 1);
    const std::vector<char> musicBytes = mp3(tone(3 * 44100), 2), sampleBytes = wav16(ramp(2000));
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
