// Call effects and the sound cues built on them, against the sound
// library with its mix pulled by hand (no device).
#include "effects/call_effect.h"
#include "effects/move_effect.h"
#include "effects/timeline_driver.h"
#include "effects/wav_in_memory.h"
#include "platform/sound/fsound.h"
#include "platform/sound/sound_output.h"

#include <boost/bind/bind.hpp>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace {

TEST(CallEffect, StartsUnfiredAndCallsOnlyOnItsFirstUpdate) {
    int calls = 0;
    CallEffect cue([&calls] { ++calls; });
    EXPECT_FALSE(cue.fired);
    cue.schedule(40.1f, 40.2f);
    EXPECT_EQ(calls, 0);
    cue.update(40.15f);
    EXPECT_TRUE(cue.fired);
    EXPECT_EQ(calls, 1);
    cue.update(40.16f);
    cue.update(40.19f);
    cue.draw();
    EXPECT_EQ(calls, 1);
}

TEST(CallEffect, IsMarkedFiredBeforeTheCall) {
    // An action that reaches its own cue again must not fire it twice.
    int calls = 0;
    bool firedDuringCall = false;
    CallEffect* cue = nullptr;
    std::unique_ptr<CallEffect> owner(cue = new CallEffect([&] {
        ++calls;
        firedDuringCall = cue->fired;
        if (calls < 3) cue->update(0);  // bounded, so a wrong order fails instead of recursing
    }));
    cue->update(0);
    EXPECT_TRUE(firedDuringCall);
    EXPECT_EQ(calls, 1);
}

TEST(CallEffect, AnEmptyActionIsSkipped) {
    CallEffect cue{boost::function<void()>()};
    cue.update(1);
    EXPECT_TRUE(cue.fired);
}

class CueOnTheTimeline : public ::testing::Test {
protected:
    CueOnTheTimeline() { driver.timeline.add(0, 0, 10, new MoveEffect(&background, Vec2{}, Vec2{})); }

    CallEffect* countingCue() {
        return new CallEffect([this] { firedAt.push_back(driver.clock.now()); });
    }

    TimelineDriver driver;
    Sprite background;
    std::vector<float> firedAt;
};

TEST_F(CueOnTheTimeline, FiresOnceOnTheFirstFrameAtOrAfterItsStart) {
    driver.timeline.add(1, 1, 1.1f, countingCue());
    EXPECT_TRUE(driver.frameAt(999));
    EXPECT_TRUE(firedAt.empty());
    EXPECT_TRUE(driver.frameAt(1030));
    ASSERT_EQ(firedAt.size(), 1u);
    EXPECT_NEAR(firedAt[0], 1.03f, 1e-6);
    EXPECT_TRUE(driver.frameAt(1060));
    EXPECT_TRUE(driver.frameAt(1099));
    EXPECT_TRUE(driver.frameAt(1200));
    EXPECT_EQ(firedAt.size(), 1u);
}

TEST_F(CueOnTheTimeline, FiresOnAFrameExactlyAtItsStart) {
    driver.timeline.add(1, 2, 2.1f, countingCue());
    EXPECT_TRUE(driver.frameAt(2000));
    EXPECT_EQ(firedAt.size(), 1u);
}

TEST_F(CueOnTheTimeline, ACueWhoseSpanFallsBetweenTwoFramesNeverFires) {
    driver.timeline.add(1, 2, 2.1f, countingCue());
    EXPECT_TRUE(driver.frameAt(1950));
    EXPECT_TRUE(driver.frameAt(2150));
    EXPECT_TRUE(firedAt.empty());
    EXPECT_EQ(driver.timeline.activeEffects().size(), 1u);  // only the background hold
}

// Sound with manual output: every mixed frame is read back exactly.
class SoundCue : public ::testing::Test {
protected:
    // Music: a ramp that tells its own position (frame n holds n / 4).
    static constexpr int musicFrames = 2 * 44100;
    // Sample: a constant level, half a second.
    static constexpr int sampleFrames = 22050;
    static constexpr int sampleLevel = 3000;

    void SetUp() override {
        setSoundOutput(SoundOutput::Manual);
        ASSERT_EQ(FSOUND_Init(44100, 8, 0), 1);
        std::vector<int16_t> ramp(musicFrames);
        for (int n = 0; n < musicFrames; ++n) ramp[n] = static_cast<int16_t>(n / 4);
        music = open(wav_in_memory::encodeMono(ramp));
        sample = open(wav_in_memory::encodeMono(std::vector<int16_t>(sampleFrames, sampleLevel)));
        ASSERT_NE(music, nullptr);
        ASSERT_NE(sample, nullptr);
    }
    void TearDown() override {
        FSOUND_Close();
        setSoundOutput(SoundOutput::Device);
    }

    FSOUND_STREAM* open(std::vector<char> bytes) {
        blocks.push_back(std::make_unique<std::vector<char>>(std::move(bytes)));
        const std::vector<char>& block = *blocks.back();
        return FSOUND_Stream_Open(block.data(), FSOUND_LOADMEMORY, 0, static_cast<int>(block.size()));
    }

    // The left side of the next `frames` mixed frames (mono streams go to
    // both sides).
    std::vector<int> mixLeft(int frames) {
        std::vector<int16_t> out(2 * static_cast<size_t>(frames));
        mixSound(out.data(), frames);
        mixed += frames;
        std::vector<int> left(frames);
        for (int i = 0; i < frames; ++i) left[i] = out[2 * i];
        return left;
    }

    static CallEffect* muteCue(bool mute) {
        return new CallEffect(boost::bind(&FSOUND_SetMute, 0, static_cast<signed char>(mute ? 1 : 0)));
    }

    std::vector<std::unique_ptr<std::vector<char>>> blocks;
    FSOUND_STREAM* music = nullptr;
    FSOUND_STREAM* sample = nullptr;
    int mixed = 0;  // frames mixed so far
};

TEST_F(SoundCue, PlayEffectStartsTheStreamOnTheGivenChannel) {
    FSOUND_Stream_Play(0, music);
    std::unique_ptr<CallEffect> cue(makePlayEffect(sample, 1));
    EXPECT_FALSE(cue->fired);
    EXPECT_EQ(mixLeft(1)[0], 0);
    cue->update(0);
    // Music frame 1 (1 / 4 = 0) and 4 frames later music 5 / 4 = 1, both
    // under the sample.
    std::vector<int> left = mixLeft(8);
    EXPECT_EQ(left[0], sampleLevel + 0);
    EXPECT_EQ(left[4], sampleLevel + 1);

    // On channel 0 the sample takes the music's place.
    std::unique_ptr<CallEffect> onMusicChannel(makePlayEffect(sample, 0));
    onMusicChannel->update(0);
    left = mixLeft(4);
    EXPECT_EQ(left[0], 2 * sampleLevel);  // two copies of the sample, no music
}

TEST_F(SoundCue, ASampleIsHeardWhileTheMusicIsMutedAndTheMusicResumesInStep) {
    TimelineDriver driver;
    Sprite background;
    driver.timeline.add(0, 0, 5, new MoveEffect(&background, Vec2{}, Vec2{}));
    // As in the show: mute and crash together, unmute later.
    driver.timeline.add(1, 1, 1.1f, muteCue(true));
    driver.timeline.add(2, 1, 1.1f, makePlayEffect(sample, 1));
    driver.timeline.add(1, 1.5f, 1.6f, muteCue(false));
    FSOUND_Stream_Play(0, music);

    EXPECT_TRUE(driver.frameAt(0));
    std::vector<int> left = mixLeft(44100);
    EXPECT_EQ(left[40000], 10000);  // the music alone

    EXPECT_TRUE(driver.frameAt(1000));
    left = mixLeft(11025);
    for (int i = 0; i < 11025; i += 1000) EXPECT_EQ(left[i], sampleLevel) << "frame " << i;

    EXPECT_TRUE(driver.frameAt(1250));
    left = mixLeft(11025);
    EXPECT_EQ(left[11024], sampleLevel);  // the sample's last frame
    ASSERT_EQ(mixed, 44100 + sampleFrames);

    EXPECT_TRUE(driver.frameAt(1500));
    left = mixLeft(400);
    // Muting did not hold the music back: it plays where it would have been.
    EXPECT_EQ(left[0], (44100 + sampleFrames) / 4);
    EXPECT_EQ(left[399], (44100 + sampleFrames + 399) / 4);
}

TEST_F(SoundCue, AMuteCueAffectsTheMusicChannelOnly) {
    FSOUND_Stream_Play(0, music);
    mixLeft(4000);
    std::unique_ptr<CallEffect> mute(muteCue(true));
    mute->update(0);
    EXPECT_EQ(mixLeft(1)[0], 0);
    FSOUND_Stream_Play(1, sample);
    EXPECT_EQ(mixLeft(1)[0], sampleLevel);
    std::unique_ptr<CallEffect> unmute(muteCue(false));
    unmute->update(0);
    EXPECT_EQ(mixLeft(1)[0], sampleLevel + 4002 / 4);
}

}  // namespace
