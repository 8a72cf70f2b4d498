// The sound library's life cycle, a device that cannot be opened, and a real
// device (SDL's "dummy" driver) mixing on its own thread while the main
// thread plays and mutes: the test that ThreadSanitizer builds check.
#include "platform/sound/fsound.h"
#include "platform/sound/sound_output.h"
#include "sound_manual_output.h"
#include "sound_test_files.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

using namespace soundtest;

namespace {

// Sets SDL_AUDIODRIVER for one test and restores it afterwards.
class AudioDriver {
public:
    explicit AudioDriver(const char* name) {
        if (const char* old = std::getenv("SDL_AUDIODRIVER")) {
            hadOld = true;
            oldValue = old;
        }
        setenv("SDL_AUDIODRIVER", name, 1);
    }
    ~AudioDriver() {
        if (hadOld) {
            setenv("SDL_AUDIODRIVER", oldValue.c_str(), 1);
        } else {
            unsetenv("SDL_AUDIODRIVER");
        }
    }

private:
    bool hadOld = false;
    std::string oldValue;
};

struct AtomicSyncCounter {
    std::atomic<int> calls{0};
    static signed char onSync(FSOUND_STREAM*, void*, int, void* user) {
        static_cast<AtomicSyncCounter*>(user)->calls.fetch_add(1, std::memory_order_relaxed);
        return 0;
    }
};

// Waits up to two seconds for `calls` to reach `count`.
bool waitFor(const std::atomic<int>& calls, int count) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (calls.load(std::memory_order_relaxed) < count) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace

TEST(SoundLifeCycle, CloseTwiceAndCallsAfterCloseAreHarmless) {
    FSOUND_Close();  // never initialised
    setSoundOutput(SoundOutput::Manual);
    ASSERT_EQ(FSOUND_Init(44100, 8, 0), 1);
    std::vector<char> wav = wav16(ramp(100), 1);
    FSOUND_STREAM* stream = FSOUND_Stream_Open(wav.data(), FSOUND_LOADMEMORY, 0, static_cast<int>(wav.size()));
    ASSERT_NE(stream, nullptr);
    FSOUND_Stream_Play(0, stream);
    FSOUND_Close();
    FSOUND_Close();

    // The old handle is no longer the library's: it counts as null.
    SyncCounter counter;
    EXPECT_EQ(FSOUND_Stream_Play(0, stream), -1);
    EXPECT_EQ(FSOUND_Stream_SetSyncCallback(stream, &SyncCounter::onSync, &counter), 0);
    EXPECT_EQ(FSOUND_Stream_AddSyncPoint(stream, 0, ""), nullptr);
    EXPECT_EQ(FSOUND_SetMute(0, 1), 0);
    std::vector<int16_t> out(20, 99);
    mixSound(out.data(), 10);
    EXPECT_EQ(out, std::vector<int16_t>(20, 0));

    // And the library starts again from nothing.
    ASSERT_EQ(FSOUND_Init(44100, 8, 0), 1);
    FSOUND_STREAM* again = FSOUND_Stream_Open(wav.data(), FSOUND_LOADMEMORY, 0, static_cast<int>(wav.size()));
    EXPECT_EQ(FSOUND_Stream_Play(0, again), 0);
    mixSound(out.data(), 10);
    EXPECT_EQ(out[0], rampValue(0));
    EXPECT_EQ(FSOUND_SetMute(0, 1), 1) << "mute flags do not survive a Close, but setting them works again";
    FSOUND_Close();
    setSoundOutput(SoundOutput::Device);
}

TEST(SoundLifeCycle, InitRefusesWhatItCannotMixAndPlayNeedsInit) {
    setSoundOutput(SoundOutput::Manual);
    EXPECT_EQ(FSOUND_Init(48000, 8, 0), 0);
    EXPECT_EQ(FSOUND_Init(44100, 0, 0), 0);
    EXPECT_EQ(FSOUND_Init(44100, 33, 0), 0);

    // A stream opened before Init is kept and plays once initialised.
    std::vector<char> wav = wav16(ramp(100), 1);
    FSOUND_STREAM* early = FSOUND_Stream_Open(wav.data(), FSOUND_LOADMEMORY, 0, static_cast<int>(wav.size()));
    ASSERT_NE(early, nullptr);
    EXPECT_EQ(FSOUND_Stream_Play(0, early), -1) << "not initialised";
    ASSERT_EQ(FSOUND_Init(44100, 32, 0), 1);
    EXPECT_EQ(FSOUND_Stream_Play(31, early), 31);
    std::vector<int16_t> out(4);
    mixSound(out.data(), 2);
    EXPECT_EQ(out, (std::vector<int16_t>{rampValue(0), rampValue(0), rampValue(1), rampValue(1)}));
    FSOUND_Close();
    setSoundOutput(SoundOutput::Device);
}

TEST(SoundLifeCycle, WithoutADeviceEveryCallStillSucceedsSilently) {
    AudioDriver bogus("no-such-driver");
    setSoundOutput(SoundOutput::Device);
    ASSERT_EQ(FSOUND_Init(44100, 8, 0), 1);
    std::vector<char> wav = wav16(std::vector<int16_t>(44100, 1000), 1);
    FSOUND_STREAM* music = FSOUND_Stream_Open(wav.data(), FSOUND_LOADMEMORY, 0, static_cast<int>(wav.size()));
    ASSERT_NE(music, nullptr);
    AtomicSyncCounter counter;
    EXPECT_EQ(FSOUND_Stream_SetSyncCallback(music, &AtomicSyncCounter::onSync, &counter), 1);
    EXPECT_NE(FSOUND_Stream_AddSyncPoint(music, 0, ""), nullptr);
    EXPECT_EQ(FSOUND_Stream_Play(0, music), 0);
    EXPECT_EQ(FSOUND_SetMute(0, 1), 1);
    EXPECT_EQ(FSOUND_SetMute(0, 0), 1);
    std::vector<int16_t> out(20, 99);
    mixSound(out.data(), 10);
    EXPECT_EQ(out, std::vector<int16_t>(20, 0)) << "the mix is not pulled by hand in device output";
    EXPECT_EQ(counter.calls.load(), 0) << "nothing is mixed, so no sync point is passed";
    FSOUND_Close();
}

TEST(SoundDevice, DummyDeviceMixesOnItsThreadWhileTheMainThreadPlaysAndMutes) {
    AudioDriver dummy("dummy");
    setSoundOutput(SoundOutput::Device);
    ASSERT_EQ(FSOUND_Init(44100, 8, 0), 1);
    std::vector<char> musicBytes = mp3(tone(0, 3 * 44100, 440.0, 0.3, 2), 2);
    std::vector<char> sampleBytes = wav16(ramp(2000), 1);
    FSOUND_STREAM* music =
        FSOUND_Stream_Open(musicBytes.data(), FSOUND_LOADMEMORY | FSOUND_MPEGACCURATE, 0, static_cast<int>(musicBytes.size()));
    FSOUND_STREAM* sample = FSOUND_Stream_Open(sampleBytes.data(), FSOUND_LOADMEMORY, 0, static_cast<int>(sampleBytes.size()));
    ASSERT_NE(music, nullptr);
    ASSERT_NE(sample, nullptr);
    AtomicSyncCounter counter;
    FSOUND_Stream_SetSyncCallback(music, &AtomicSyncCounter::onSync, &counter);
    FSOUND_Stream_AddSyncPoint(music, 0, "");

    ASSERT_EQ(FSOUND_Stream_Play(0, music), 0);
    EXPECT_TRUE(waitFor(counter.calls, 1)) << "the device thread mixed the music's first frame";
    for (int i = 0; i < 200; ++i) {
        FSOUND_SetMute(0, i % 2 == 0);
        if (i % 20 == 0) FSOUND_Stream_Play(1, sample);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    FSOUND_SetMute(0, 0);
    ASSERT_EQ(FSOUND_Stream_Play(0, music), 0);
    EXPECT_TRUE(waitFor(counter.calls, 2)) << "playing again passes the sync point again";
    FSOUND_Close();
    int callsAtClose = counter.calls.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(counter.calls.load(), callsAtClose) << "nothing mixes after Close";
}
