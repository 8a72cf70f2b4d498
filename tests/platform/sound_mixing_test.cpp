// Mixing through the sound library's calls, pulled by hand: exact samples at
// exact positions, sums, mute, sync points and the end of a stream.
#include "sound_manual_output.h"
#include "sound_test_files.h"

#include <cmath>

using namespace soundtest;

namespace {

// Checks that frames [first, first + count) of `out` hold the ramp from
// `rampFrame` on both sides; reports the first mismatch only.
::testing::AssertionResult holdsRamp(const std::vector<int16_t>& out, int first, int count, int64_t rampFrame) {
    for (int i = 0; i < count; ++i) {
        int16_t expected = rampValue(rampFrame + i);
        size_t at = 2 * static_cast<size_t>(first + i);
        if (out[at] != expected || out[at + 1] != expected) {
            return ::testing::AssertionFailure() << "frame " << first + i << " holds " << out[at] << "," << out[at + 1]
                                                 << ", expected ramp frame " << rampFrame + i << " = " << expected;
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult silent(const std::vector<int16_t>& out, int first, int count) {
    for (int i = 2 * first; i < 2 * (first + count); ++i) {
        if (out[static_cast<size_t>(i)] != 0) {
            return ::testing::AssertionFailure() << "sample " << i << " is " << out[static_cast<size_t>(i)];
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

class SoundMixing : public ManualSoundTest {};

TEST_F(SoundMixing, WavSamplesComeOutAtTheirPositionsAndTheStreamEndsInSilence) {
    FSOUND_STREAM* ramp3000 = open(wav16(ramp(3000), 1));
    ASSERT_NE(ramp3000, nullptr);

    EXPECT_TRUE(silent(mix(100), 0, 100)) << "nothing plays before Play";
    ASSERT_EQ(FSOUND_Stream_Play(1, ramp3000), 1);
    // Mixed in pieces that split the library's internal steps unevenly.
    std::vector<int16_t> first = mix(1);
    EXPECT_TRUE(holdsRamp(first, 0, 1, 0)) << "the first frame after Play is the stream's first";
    std::vector<int16_t> second = mix(1500);
    EXPECT_TRUE(holdsRamp(second, 0, 1500, 1));
    std::vector<int16_t> last = mix(2000);
    EXPECT_TRUE(holdsRamp(last, 0, 1499, 1501));
    EXPECT_TRUE(silent(last, 1499, 501)) << "after the last frame comes silence";
    EXPECT_TRUE(silent(mix(3000), 0, 3000)) << "an ended stream does not start over";
}

TEST_F(SoundMixing, StereoKeepsItsSidesAndMonoGoesToBoth) {
    std::vector<int16_t> stereo = {100, -100, 200, -200, 300, -300};
    FSOUND_STREAM* sides = open(wav16(stereo, 2));
    ASSERT_NE(sides, nullptr);
    FSOUND_Stream_Play(0, sides);
    EXPECT_EQ(mix(4), (std::vector<int16_t>{100, -100, 200, -200, 300, -300, 0, 0}));

    FSOUND_STREAM* mono = open(wav16({7, -8, 9}, 1));
    FSOUND_Stream_Play(3, mono);
    EXPECT_EQ(mix(4), (std::vector<int16_t>{7, 7, -8, -8, 9, 9, 0, 0}));
}

TEST_F(SoundMixing, ChannelsSumAndTheSumIsClamped) {
    FSOUND_STREAM* a = open(wav16({1000, 30000, -30000, -5}, 1));
    FSOUND_STREAM* b = open(wav16({-300, 10000, -10000, 5}, 1));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    FSOUND_Stream_Play(0, a);
    FSOUND_Stream_Play(1, b);
    EXPECT_EQ(mix(4), (std::vector<int16_t>{700, 700, 32767, 32767, -32768, -32768, 0, 0}));
}

TEST_F(SoundMixing, OneStreamOnTwoChannelsPlaysTwiceFromItsOwnPositions) {
    FSOUND_STREAM* ramp10 = open(wav16(ramp(10), 1));
    FSOUND_Stream_Play(0, ramp10);
    mix(4);
    FSOUND_Stream_Play(1, ramp10);
    std::vector<int16_t> out = mix(2);
    EXPECT_EQ(out[0], rampValue(4) + rampValue(0));
    EXPECT_EQ(out[2], rampValue(5) + rampValue(1));
}

TEST_F(SoundMixing, PlayRestartsFromTheStartAndReplacesWhatPlayedOnTheChannel) {
    FSOUND_STREAM* ramp2000 = open(wav16(ramp(2000), 1));
    FSOUND_STREAM* constant = open(wav16(std::vector<int16_t>(500, 42), 1));
    FSOUND_Stream_Play(1, ramp2000);
    mix(700);
    FSOUND_Stream_Play(1, ramp2000);
    EXPECT_TRUE(holdsRamp(mix(300), 0, 300, 0));
    FSOUND_Stream_Play(1, constant);
    std::vector<int16_t> out = mix(600);
    EXPECT_EQ(out[0], 42);
    EXPECT_EQ(out[2 * 499], 42);
    EXPECT_TRUE(silent(out, 500, 100)) << "the ramp that was replaced does not come back";
}

TEST_F(SoundMixing, MutedChannelKeepsAdvancingSoUnmutingResumesWhereItWouldHaveBeen) {
    FSOUND_STREAM* ramp5000 = open(wav16(ramp(5000), 1));
    FSOUND_Stream_Play(0, ramp5000);
    EXPECT_TRUE(holdsRamp(mix(500), 0, 500, 0));
    ASSERT_EQ(FSOUND_SetMute(0, 1), 1);
    EXPECT_TRUE(silent(mix(1700), 0, 1700));
    ASSERT_EQ(FSOUND_SetMute(0, 0), 1);
    EXPECT_TRUE(holdsRamp(mix(300), 0, 300, 2200));
}

TEST_F(SoundMixing, MuteTakesEffectAtTheNextMixCallWhateverItsSize) {
    FSOUND_STREAM* ramp5000 = open(wav16(ramp(5000), 1));
    FSOUND_Stream_Play(0, ramp5000);
    // Calls of 1, 1023, 1025 and 1 frames: on both sides of the mixer's
    // 1024-frame steps.
    EXPECT_TRUE(holdsRamp(mix(1), 0, 1, 0));
    FSOUND_SetMute(0, 1);
    EXPECT_TRUE(silent(mix(1023), 0, 1023));
    FSOUND_SetMute(0, 0);
    EXPECT_TRUE(holdsRamp(mix(1025), 0, 1025, 1024));
    FSOUND_SetMute(0, 1);
    EXPECT_TRUE(silent(mix(1), 0, 1));
    FSOUND_SetMute(0, 0);
    EXPECT_TRUE(holdsRamp(mix(1), 0, 1, 2050));
}

TEST_F(SoundMixing, MuteBelongsToItsChannelAndSurvivesANewPlay) {
    FSOUND_STREAM* music = open(wav16(std::vector<int16_t>(100, 1000), 1));
    FSOUND_STREAM* sample = open(wav16(std::vector<int16_t>(100, 7), 1));
    FSOUND_SetMute(0, 1);
    FSOUND_Stream_Play(0, music);
    FSOUND_Stream_Play(1, sample);
    std::vector<int16_t> out = mix(10);
    EXPECT_EQ(out[0], 7) << "the muted channel 0 is silent, channel 1 is heard";
    EXPECT_EQ(out[19], 7);
    FSOUND_SetMute(0, 0);
    EXPECT_EQ(mix(1)[0], 1007);
}

TEST_F(SoundMixing, SyncPointAtZeroFiresOncePerPassWhenTheFirstFrameIsMixed) {
    FSOUND_STREAM* music = open(wav16(ramp(3000), 1));
    SyncCounter counter;
    ASSERT_EQ(FSOUND_Stream_SetSyncCallback(music, &SyncCounter::onSync, &counter), 1);
    ASSERT_NE(FSOUND_Stream_AddSyncPoint(music, 0, ""), nullptr);

    FSOUND_Stream_Play(0, music);
    EXPECT_EQ(counter.calls, 0) << "Play alone mixes nothing";
    mix(1);
    EXPECT_EQ(counter.calls, 1);
    EXPECT_EQ(counter.lastStream, music);
    mix(1000);
    mix(2500);
    EXPECT_EQ(counter.calls, 1) << "one pass, one call, even past the end";

    FSOUND_Stream_Play(0, music);
    mix(10);
    EXPECT_EQ(counter.calls, 2) << "a second pass fires again";
}

TEST_F(SoundMixing, SyncPointFiresInTheMixThatReachesItsOffsetEvenWhenMuted) {
    FSOUND_STREAM* music = open(wav16(ramp(3000), 1));
    SyncCounter counter;
    FSOUND_Stream_SetSyncCallback(music, &SyncCounter::onSync, &counter);
    FSOUND_Stream_AddSyncPoint(music, 1500, "middle");
    FSOUND_Stream_AddSyncPoint(music, 3000, "one past the last frame");
    FSOUND_SetMute(0, 1);
    FSOUND_Stream_Play(0, music);
    mix(1500);
    EXPECT_EQ(counter.calls, 0) << "frames 0..1499 do not reach offset 1500";
    mix(1);
    EXPECT_EQ(counter.calls, 1);
    mix(5000);
    EXPECT_EQ(counter.calls, 1) << "an offset past the last frame is never reached";
}

TEST_F(SoundMixing, SyncPointsWithoutCallbackOrCallbackWithoutPointsFireNothing) {
    FSOUND_STREAM* noCallback = open(wav16(ramp(100), 1));
    FSOUND_STREAM* noPoints = open(wav16(ramp(100), 1));
    SyncCounter counter;
    FSOUND_Stream_AddSyncPoint(noCallback, 0, "");
    FSOUND_Stream_SetSyncCallback(noPoints, &SyncCounter::onSync, &counter);
    FSOUND_Stream_Play(0, noCallback);
    FSOUND_Stream_Play(1, noPoints);
    mix(200);
    EXPECT_EQ(counter.calls, 0);
    // Setting the callback later makes the existing point fire on the next pass.
    FSOUND_Stream_SetSyncCallback(noCallback, &SyncCounter::onSync, &counter);
    FSOUND_Stream_Play(0, noCallback);
    mix(1);
    EXPECT_EQ(counter.calls, 1);
}

namespace {
signed char muteMusicFromCallback(FSOUND_STREAM*, void*, int, void*) {
    FSOUND_SetMute(0, 1);
    return 0;
}
}  // namespace

TEST_F(SoundMixing, CallbackMayCallTheLibraryWithoutDeadlock) {
    FSOUND_STREAM* music = open(wav16(std::vector<int16_t>(5000, 500), 1));
    FSOUND_Stream_SetSyncCallback(music, &muteMusicFromCallback, nullptr);
    FSOUND_Stream_AddSyncPoint(music, 0, "");
    FSOUND_Stream_Play(0, music);
    std::vector<int16_t> firstStep = mix(1024);
    EXPECT_EQ(firstStep[0], 500) << "the step that fired was mixed before the callback ran";
    EXPECT_TRUE(silent(mix(100), 0, 100)) << "the mute made in the callback holds";
}

TEST_F(SoundMixing, NullStreamsAndBadChannelsAreHarmless) {
    FSOUND_STREAM* stream = open(wav16(ramp(100), 1));
    SyncCounter counter;
    EXPECT_EQ(FSOUND_Stream_Play(1, nullptr), -1);
    EXPECT_EQ(FSOUND_Stream_SetSyncCallback(nullptr, &SyncCounter::onSync, &counter), 0);
    EXPECT_EQ(FSOUND_Stream_AddSyncPoint(nullptr, 0, ""), nullptr);
    EXPECT_EQ(FSOUND_Stream_Play(8, stream), -1) << "8 channels are 0..7";
    EXPECT_EQ(FSOUND_Stream_Play(-1, stream), -1);
    EXPECT_EQ(FSOUND_SetMute(8, 1), 0);
    EXPECT_EQ(FSOUND_SetMute(-1, 1), 0);
    EXPECT_EQ(FSOUND_Stream_Play(7, stream), 7);
    EXPECT_TRUE(holdsRamp(mix(100), 0, 100, 0));
}

TEST_F(SoundMixing, Mp3ToneComesOutWithItsOnsetLevelAndPitch) {
    // 0.5 s of silence, then 1 s of 1 kHz at half scale: MP3 is lossy, so
    // the test looks at where the sound begins, how loud it is and its pitch.
    FSOUND_STREAM* music = open(mp3(tone(22050, 44100, 1000.0, 0.5, 2), 2), FSOUND_LOADMEMORY | FSOUND_MPEGACCURATE);
    ASSERT_NE(music, nullptr);
    FSOUND_Stream_Play(0, music);
    std::vector<int16_t> out = mix(70000);

    int onset = -1;
    for (int f = 0; f < 70000 && onset < 0; ++f) {
        if (std::abs(out[2 * static_cast<size_t>(f)]) > 3000) onset = f;
    }
    EXPECT_NEAR(onset, 22050, 40) << "the tone starts 0.5 s in (a 1 kHz sine passes 3000 within 5 frames)";

    double energy = 0;
    int crossings = 0;
    const int first = 30000, count = 30000;  // inside the tone
    for (int f = first; f < first + count; ++f) {
        double left = out[2 * static_cast<size_t>(f)], right = out[2 * static_cast<size_t>(f) + 1];
        energy += left * left;
        EXPECT_NEAR(left, right, 300) << "the same tone on both sides, frame " << f;
        if ((out[2 * static_cast<size_t>(f - 1)] < 0) != (left < 0)) ++crossings;
        if (::testing::Test::HasFailure()) break;
    }
    // A half-scale sine has an RMS of 0.5 * 32767 / sqrt(2) = 11585.
    EXPECT_NEAR(std::sqrt(energy / count), 11585.0, 300.0);
    // Two zero crossings per period: 30000 frames of 1 kHz hold 680.3 periods.
    EXPECT_NEAR(crossings / 2.0 / (count / 44100.0), 1000.0, 5.0);
    EXPECT_TRUE(silent(out, 66150 + 100, 70000 - 66250)) << "1.5 s of stream, then silence";
}
