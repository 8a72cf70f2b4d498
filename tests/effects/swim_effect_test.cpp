// The swim effect's stepping, its figure and the heading rule it shares
// with the path effect.
#include "effects/face_direction.h"
#include "effects/move_effect.h"
#include "effects/recording_sprite.h"
#include "effects/swim_effect.h"
#include "effects/timeline_driver.h"

#include <gtest/gtest.h>

namespace {

TEST(FaceDirection, MirrorsExactlyWhileMovingTowardsPlusX) {
    Sprite sprite;
    sprite.scale = Vec2{4.5f, 3};
    sprite.position = Vec2{0.1f, 0.2f};
    sprite.rotation = 15;

    faceDirection(sprite, 0, Vec2{0.001f, -5});
    EXPECT_EQ(sprite.scale, (Vec2{-4.5f, 3}));
    faceDirection(sprite, 0, Vec2{0.5f, 0});  // already mirrored: stays so
    EXPECT_EQ(sprite.scale, (Vec2{-4.5f, 3}));
    faceDirection(sprite, 0, Vec2{0, 1});  // no horizontal motion: unmirrored
    EXPECT_EQ(sprite.scale, (Vec2{4.5f, 3}));
    faceDirection(sprite, 0, Vec2{-0.25f, 0});
    EXPECT_EQ(sprite.scale, (Vec2{4.5f, 3}));

    EXPECT_EQ(sprite.position, (Vec2{0.1f, 0.2f}));
    EXPECT_EQ(sprite.rotation, 15);
}

TEST(FaceDirection, KeepsTheMagnitudeOfANegativeScale) {
    Sprite sprite;
    sprite.scale = Vec2{-2, -1};
    faceDirection(sprite, 123, Vec2{-1, 0});
    EXPECT_EQ(sprite.scale, (Vec2{2, -1}));
}

TEST(SwimEffect, ScheduleRestartsTheFigure) {
    Sprite sprite;
    SwimEffect swim(sprite);
    EXPECT_EQ(swim.target, &sprite);
    swim.lastStep = 3;
    swim.schedule(26, 30);
    EXPECT_EQ(swim.start, 26.0f);
    EXPECT_EQ(swim.lastStep, 0.0f);
}

TEST(SwimEffect, NothingMovesInTheFirstHundredthOfASecond) {
    RecordingSprite sprite;
    sprite.position = Vec2{0.7f, -0.3f};
    sprite.scale = Vec2{4.5f, 3};
    SwimEffect swim(sprite);
    swim.schedule(0, 4);
    for (float now : {0.0f, 0.004f, 0.0099f}) {
        swim.update(now);
        EXPECT_EQ(sprite.position, (Vec2{0.7f, -0.3f})) << "at " << now;
        EXPECT_EQ(sprite.scale, (Vec2{4.5f, 3}));
    }
    EXPECT_EQ(swim.lastStep, 0.0f);
    EXPECT_EQ(sprite.ticks.size(), 3u);  // ticked even without a step
}

TEST(SwimEffect, TheFirstStepJumpsOntoTheFigure) {
    Sprite sprite;
    sprite.position = Vec2{0.7f, -0.3f};
    sprite.scale = Vec2{4.5f, 3};
    SwimEffect swim(sprite);
    swim.schedule(0, 4);
    swim.update(0.02f);
    // (0.5 sin 0.04, 0.2 sin 0.06)
    EXPECT_NEAR(sprite.position.x, 0.0199946671f, 1e-7);
    EXPECT_NEAR(sprite.position.y, 0.0119928013f, 1e-7);
    EXPECT_EQ(swim.lastStep, 0.02f);
    // From (0.7, -0.3) the jump goes towards -x: unmirrored.
    EXPECT_EQ(sprite.scale, (Vec2{4.5f, 3}));
}

TEST(SwimEffect, FramesCloserThanAHundredthChangeNothing) {
    Sprite sprite;
    sprite.scale = Vec2{4.5f, 3};
    SwimEffect swim(sprite);
    swim.schedule(0, 4);
    swim.update(0.02f);
    const Vec2 first = sprite.position;
    const Vec2 firstScale = sprite.scale;
    swim.update(0.025f);
    swim.update(0.029f);
    EXPECT_EQ(sprite.position, first);
    EXPECT_EQ(sprite.scale, firstScale);
    EXPECT_EQ(swim.lastStep, 0.02f);

    swim.update(0.031f);
    EXPECT_NEAR(sprite.position.x, 0.0309801432f, 1e-7);
    EXPECT_NEAR(sprite.position.y, 0.0185731997f, 1e-7);
    // From the first point to this one the fish moves towards +x.
    EXPECT_EQ(sprite.scale, (Vec2{-4.5f, 3}));
}

TEST(SwimEffect, EffectTimeCountsFromTheStartOfTheSpan) {
    Sprite sprite;
    SwimEffect swim(sprite);
    swim.schedule(35, 42.1f);
    swim.update(35.25f);
    // (0.5 sin 0.5, 0.2 sin 0.75)
    EXPECT_NEAR(sprite.position.x, 0.239712769f, 1e-6);
    EXPECT_NEAR(sprite.position.y, 0.136327752f, 1e-6);
}

TEST(SwimEffect, IsMirroredExactlyWhileMovingTowardsPlusX) {
    Sprite sprite;
    sprite.scale = Vec2{4.5f, 3};
    SwimEffect swim(sprite);
    swim.schedule(0, 10);
    swim.update(0.02f);
    int mirrored = 0, unmirrored = 0;
    Vec2 previous = sprite.position;
    for (int ms = 40; ms < 8000; ms += 20) {
        swim.update(ms * 0.001f);
        const bool towardsPlusX = sprite.position.x > previous.x;
        EXPECT_EQ(sprite.scale.x, towardsPlusX ? -4.5f : 4.5f) << "at " << ms << " ms";
        EXPECT_EQ(sprite.scale.y, 3.0f);
        (towardsPlusX ? mirrored : unmirrored) += 1;
        previous = sprite.position;
    }
    // x = 0.5 sin 2e turns every pi/2 s: both headings occur many times.
    EXPECT_GT(mirrored, 100);
    EXPECT_GT(unmirrored, 100);
}

TEST(SwimEffect, OnTheTimelineItIsDrawnEveryFrameButStepsOnlyEveryHundredth) {
    TimelineDriver driver;
    RecordingSprite fish;
    Sprite background;
    fish.position = Vec2{-0.2f, 0.4f};
    // The fish arrives at the centre with a hold, then swims.
    driver.timeline.add(10, 25, 26, new MoveEffect(&fish, Vec2{0, 0}, Vec2{0, 0}));
    driver.timeline.add(10, 26, 30, new SwimEffect(fish));
    driver.timeline.add(0, 0, 40, new MoveEffect(&background, Vec2{}, Vec2{}));

    EXPECT_TRUE(driver.frameAt(25500));
    EXPECT_TRUE(driver.frameAt(26000));
    EXPECT_TRUE(driver.frameAt(26005));
    ASSERT_EQ(fish.draws.size(), 3u);
    EXPECT_EQ(fish.draws[1].position, (Vec2{0, 0}));
    EXPECT_EQ(fish.draws[2].position, (Vec2{0, 0}));

    EXPECT_TRUE(driver.frameAt(26012));
    ASSERT_EQ(fish.draws.size(), 4u);
    EXPECT_NEAR(fish.draws[3].position.x, 0.5f * 0.024f, 1e-5);  // sin u ~ u this close to 0
    EXPECT_NEAR(fish.draws[3].position.y, 0.2f * 0.036f, 1e-5);
    EXPECT_EQ(fish.draws[3].scale.x, -1.0f);  // moving right, off the centre

    EXPECT_TRUE(driver.frameAt(26015));
    ASSERT_EQ(fish.draws.size(), 5u);
    EXPECT_EQ(fish.draws[4].position, fish.draws[3].position);
}

}  // namespace
