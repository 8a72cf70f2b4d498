#include "frame_timing.h"

#include <gtest/gtest.h>

namespace {

FrameTiming at(uint64_t numerator, uint64_t denominator = 1) { return FrameTiming(FrameRate{numerator, denominator}); }

TEST(FrameTiming, SixtyFramesASecondRoundDownToWholeMilliseconds) {
    FrameTiming timing = at(60);
    EXPECT_EQ(timing.frameMilliseconds(0), 0u);
    EXPECT_EQ(timing.frameMilliseconds(1), 16u);  // 16.67
    EXPECT_EQ(timing.frameMilliseconds(2), 33u);  // 33.33
    EXPECT_EQ(timing.frameMilliseconds(3), 50u);
    // The sound cues at 31.0, 40.1, 47.0 and 54.0 s each meet a frame.
    EXPECT_EQ(timing.frameMilliseconds(1860), 31000u);
    EXPECT_EQ(timing.frameMilliseconds(2406), 40100u);
    EXPECT_EQ(timing.frameMilliseconds(2820), 47000u);
    EXPECT_EQ(timing.frameMilliseconds(3240), 54000u);
}

TEST(FrameTiming, SixtyFramesASecondTake735SamplesEach) {
    FrameTiming timing = at(60);
    EXPECT_EQ(timing.firstSample(0), 0);
    EXPECT_EQ(timing.firstSample(1), 735);
    EXPECT_EQ(timing.firstSample(2406), 1768410);  // 40.1 s * 44100
    EXPECT_EQ(timing.samplesOfFrame(0), 735);
    EXPECT_EQ(timing.samplesOfFrame(4109), 735);
    EXPECT_EQ(timing.maxSamplesPerFrame(), 735);
}

TEST(FrameTiming, UnevenRatesAlternateSampleCountsWithoutGaps) {
    // 44100 / 24 = 1837.5: frames alternate 1837 and 1838 samples.
    FrameTiming film = at(24);
    EXPECT_EQ(film.samplesOfFrame(0), 1837);
    EXPECT_EQ(film.samplesOfFrame(1), 1838);
    EXPECT_EQ(film.firstSample(24), 44100);
    EXPECT_EQ(film.maxSamplesPerFrame(), 1838);
    EXPECT_EQ(film.frameMilliseconds(1), 41u);  // 41.67
    EXPECT_EQ(film.frameMilliseconds(3), 125u);

    // 60000/1001: 735.735 samples a frame; 60000 frames last 1001 s exactly.
    FrameTiming ntsc = at(60000, 1001);
    EXPECT_EQ(ntsc.samplesOfFrame(0), 735);
    EXPECT_EQ(ntsc.samplesOfFrame(1), 736);  // 1471 - 735
    EXPECT_EQ(ntsc.maxSamplesPerFrame(), 736);
    EXPECT_EQ(ntsc.frameMilliseconds(60), 1001u);
    EXPECT_EQ(ntsc.firstSample(60000), 44144100);

    // 1000 fps: one frame a millisecond, 44.1 samples each.
    FrameTiming fast = at(1000);
    EXPECT_EQ(fast.frameMilliseconds(7), 7u);
    EXPECT_EQ(fast.samplesOfFrame(0), 44);
    EXPECT_EQ(fast.samplesOfFrame(9), 45);  // 441 - 396
    EXPECT_EQ(fast.firstSample(10), 441);
}

TEST(FrameTiming, FirstFrameAtOrAfterAMillisecond) {
    FrameTiming timing = at(60);
    EXPECT_EQ(timing.firstFrameAtOrAfter(0), 0);
    EXPECT_EQ(timing.firstFrameAtOrAfter(1), 1);
    EXPECT_EQ(timing.firstFrameAtOrAfter(16), 1);
    EXPECT_EQ(timing.firstFrameAtOrAfter(17), 2);
    EXPECT_EQ(timing.firstFrameAtOrAfter(31000), 1860);
    // The show's end at 68.4999 s is first met at 68.500 s, frame 4110.
    EXPECT_EQ(timing.firstFrameAtOrAfter(68484), 4110);
    EXPECT_EQ(timing.firstFrameAtOrAfter(68500), 4110);
    EXPECT_EQ(timing.firstFrameAtOrAfter(68501), 4111);

    FrameTiming slow = at(1);
    EXPECT_EQ(slow.firstFrameAtOrAfter(999), 1);
    EXPECT_EQ(slow.firstFrameAtOrAfter(1000), 1);
    EXPECT_EQ(slow.firstFrameAtOrAfter(1001), 2);
}

}  // namespace
