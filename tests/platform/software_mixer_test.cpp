// The mixer pulled by hand: exact samples at exact mix frames, at the ends
// of streams, around mutes made mid-buffer, with sync
// points, calls placed by their time against device calls made at chosen
// times, and the bound of the queue of calls.
#include "platform/desktop/software_mixer.h"
#include "sound_test_files.h"

#include <gtest/gtest.h>

using namespace soundtest;

static const std::vector<int16_t> silence;
constexpr int64_t t0 = 5000000000;  // ns; the first timed mix call, at mix frame 0
constexpr int64_t ms = 1000000;

struct SoftwareMixerTest : ::testing::Test {
    SoftwareMixer mixer{8};
    StreamStore store;
    std::vector<int16_t> mix(int frames, int64_t at = -1) {
        std::vector<int16_t> out(2 * static_cast<size_t>(frames), 12345);
        mixer.mix(out.data(), frames, at);
        return out;
    }
};

TEST_F(SoftwareMixerTest, AStreamPlaysFromTheNextFrameToItsLastAndFreesItsChannel) {
    const std::vector<int16_t> r = ramp(3000);
    FSOUND_STREAM* stream = store.add(encode(r, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_24));
    EXPECT_TRUE(holds(mix(100), 0, 100, silence, 0));
    ASSERT_TRUE(mixer.play(1, stream));
    // Pieces that split the mixer's 1024-frame steps unevenly.
    EXPECT_TRUE(holds(mix(1), 0, 1, r, 0));
    EXPECT_TRUE(holds(mix(2998), 0, 2998, r, 1));
    EXPECT_TRUE(mixer.isPlaying(1)) << "one frame left";
    EXPECT_TRUE(holds(mix(2000), 0, 2000, r, 2999));
    EXPECT_FALSE(mixer.isPlaying(1));
    EXPECT_TRUE(holds(mix(3000), 0, 3000, silence, 0)) << "an ended stream does not start over";
}

TEST_F(SoftwareMixerTest, StereoKeepsItsSidesMonoGoesToBothAndTheSumIsClamped) {
    mixer.play(0, store.add(wav16({100, -100, 200, -200, 300, -300}, 2)));
    mixer.play(3, store.add(wav16({30000, -30000, 5})));
    mixer.play(7, store.add(wav16({10000, -10000})));
    EXPECT_EQ(mix(4), (std::vector<int16_t>{32767, 32767, -32768, -32768, 305, -295, 0, 0}));
}

TEST_F(SoftwareMixerTest, MuteSilencesExactlyItsFramesWhileTheMusicAdvancesAndOtherChannelsPlay) {
    mixer.setDelay(1024);
    const std::vector<int16_t> music = ramp(10000);
    ASSERT_TRUE(mixer.play(0, store.add(wav16(music))));
    FSOUND_STREAM* crash = store.add(wav16(std::vector<int16_t>(3000, 5)));
    mix(1024, t0);
    // Mix frame of t0 + 10 ms: 441, plus the delay; of t0 + 30 ms: 1323 + 1024.
    mixer.setMute(0, true, t0 + 10 * ms);
    mixer.play(1, crash, t0 + 10 * ms);
    mixer.setMute(0, false, t0 + 30 * ms);
    std::vector<int16_t> heard(4096);
    for (int k = 0; k < 4096; ++k) {
        const bool muted = k >= 1465 && k < 2347;
        heard[k] = static_cast<int16_t>((muted ? 0 : music[k]) + (k >= 1465 ? 5 : 0));
    }
    // Called late: a late call does not move the frames of time.
    EXPECT_TRUE(holds(mix(1000, t0 + 30 * ms), 0, 1000, heard, 1024));
    EXPECT_TRUE(holds(mix(2072, t0 + 60 * ms), 0, 2072, heard, 2024));
}

TEST_F(SoftwareMixerTest, TimedPlaysKeepTheirSpacingToTheSampleWhateverTheDevicesJitterOrClock) {
    mixer.setDelay(512);
    const std::vector<int16_t> r = ramp(2000);
    // Device calls of 512 frames, every one but the first late by 0 to 4 ms;
    // after the first play, one 1 ms early, as a device whose clock runs
    // fast comes to call: the frames of time stay where they were.
    std::vector<int16_t> all;
    auto call = [&](int k, int64_t lateness) {
        std::vector<int16_t> out = mix(512, t0 + int64_t{k} * 512 * 1000000000 / 44100 + lateness);
        all.insert(all.end(), out.begin(), out.end());
    };
    for (int k = 0; k < 6; ++k) call(k, k == 0 ? 0 : (k % 4 + 1) * ms);
    mixer.play(2, store.add(wav16(r)), t0 + 70 * ms);  // frame 3087 + 512
    for (int k = 6; k < 12; ++k) call(k, (k * 3 % 4) * ms);
    call(12, -1 * ms);
    mixer.play(3, store.add(wav16(r)), t0 + 160 * ms);  // 90 ms later: 3969 frames
    for (int k = 13; k < 20; ++k) call(k, 2 * ms);
    EXPECT_TRUE(holds(all, 0, 3599, silence, 0));
    EXPECT_TRUE(holds(all, 3599, 3969, r, 0));
    EXPECT_TRUE(holds(all, 7568, 2672, r, 0));
}

TEST_F(SoftwareMixerTest, SyncPointsFireAsTheirFramesAreCommittedOneDelayAheadOfTheMix) {
    mixer.setDelay(1000);
    FSOUND_STREAM* music = store.add(wav16(ramp(3000)));
    int calls = 0;
    music->callback = [](FSOUND_STREAM*, void*, int, void* n) -> signed char {
        ++*static_cast<int*>(n);
        return 0;
    };
    music->userData = &calls;
    for (uint32_t offset : {0u, 2000u, 3000u}) music->syncPoints.push_back(std::make_unique<FSOUND_SYNCPOINT>(FSOUND_SYNCPOINT{offset}));
    mixer.setMute(0, true);
    mixer.play(0, music);
    EXPECT_EQ(calls, 1) << "offset 0 fires inside play";
    // Offset 2000 is committed with mix frame 1000, even muted; offset 3000
    // is past the last frame.
    for (const auto& [frames, expected] : {std::pair{1000, 1}, {1, 2}, {5000, 2}}) {
        mix(frames);
        EXPECT_EQ(calls, expected) << "after " << frames << " more frames";
    }
    mixer.play(0, music);
    EXPECT_EQ(calls, 3) << "a second pass fires again";
}

TEST_F(SoftwareMixerTest, CallsBeyondTheQueuesBoundAreRefusedUntilAMixTakesThem) {
    for (int i = 0; i < SoftwareMixer::queuedCalls; ++i) ASSERT_TRUE(mixer.setMute(0, i % 2 == 0));
    EXPECT_FALSE(mixer.setMute(0, false));
    mix(1);
    EXPECT_TRUE(mixer.setMute(0, false));
}
