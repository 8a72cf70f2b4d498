// Move, scale and fade: the linear interpolation, its edges, and how
// several of them share one sprite within a frame.
#include "effects/fade_effect.h"
#include "effects/move_effect.h"
#include "effects/scale_effect.h"
#include "effects/recording_sprite.h"
#include "effects/timeline_driver.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const Color black{0, 0, 0, 0};
const Color white{1, 1, 1, 1};

TEST(MoveEffect, ConstructorKeepsFromAndDeltaAndLeavesTheSpriteAlone) {
    Sprite sprite;
    sprite.position = Vec2{0.7f, -0.2f};
    MoveEffect move(&sprite, Vec2{-2, 1}, Vec2{0.5f, 0.25f});
    EXPECT_EQ(move.target, &sprite);
    EXPECT_EQ(move.from, (Vec2{-2, 1}));
    EXPECT_EQ(move.delta, (Vec2{2.5f, -0.75f}));
    EXPECT_EQ(sprite.position, (Vec2{0.7f, -0.2f}));
}

TEST(MoveEffect, InterpolatesPositionLinearlyAndUnclamped) {
    Sprite sprite;
    MoveEffect move(&sprite, Vec2{0, 0}, Vec2{1, 0});
    move.schedule(10, 12);
    EXPECT_EQ(move.start, 10.0f);
    EXPECT_EQ(move.duration, 2.0f);

    move.update(10);
    EXPECT_EQ(sprite.position, (Vec2{0, 0}));
    move.update(11);
    EXPECT_EQ(sprite.position, (Vec2{0.5f, 0}));
    move.update(11.9998f);
    EXPECT_LT(sprite.position.x, 1.0f);
    EXPECT_GT(sprite.position.x, 0.9998f);
    // Called outside its span it extrapolates; nothing clamps f.
    move.update(13);
    EXPECT_EQ(sprite.position, (Vec2{1.5f, 0}));
    move.update(9);
    EXPECT_EQ(sprite.position, (Vec2{-0.5f, 0}));
}

TEST(MoveEffect, WritesOnlyThePosition) {
    Sprite sprite;
    sprite.scale = Vec2{4.5f, 3};
    sprite.color = Color{0.2f, 0.3f, 0.4f, 0.5f};
    sprite.rotation = 30;
    MoveEffect move(&sprite, Vec2{1, 2}, Vec2{3, 6});
    move.schedule(0, 4);
    move.update(1);
    EXPECT_EQ(sprite.position, (Vec2{1.5f, 3}));
    EXPECT_EQ(sprite.scale, (Vec2{4.5f, 3}));
    EXPECT_EQ(sprite.color, (Color{0.2f, 0.3f, 0.4f, 0.5f}));
    EXPECT_EQ(sprite.rotation, 30);
}

TEST(MoveEffect, TicksTheTargetBeforeWriting) {
    RecordingSprite sprite;
    MoveEffect move(&sprite, Vec2{0, 0}, Vec2{1, 1});
    move.schedule(0, 1);
    move.update(0.25f);
    move.update(0.5f);
    ASSERT_EQ(sprite.ticks.size(), 2u);
    EXPECT_EQ(sprite.ticks[0], 0.25f);
    EXPECT_EQ(sprite.ticks[1], 0.5f);
}

TEST(MoveEffect, ASpanWithoutLengthLeavesTheSpriteWhereItStands) {
    for (float end : {5.0f, 4.0f}) {
        RecordingSprite sprite;
        sprite.position = Vec2{0.3f, 0.4f};
        MoveEffect move(&sprite, Vec2{0, 0}, Vec2{1, 1});
        move.schedule(5, end);
        move.update(5);
        move.update(5.5f);
        EXPECT_EQ(sprite.position, (Vec2{0.3f, 0.4f})) << "end " << end;
        EXPECT_EQ(sprite.ticks.size(), 2u);
        move.draw();
        ASSERT_EQ(sprite.draws.size(), 1u);
        EXPECT_EQ(sprite.draws[0].position, (Vec2{0.3f, 0.4f}));
    }
}

TEST(ScaleEffect, InterpolatesScaleFromTheGivenStartNotTheSprites) {
    Sprite sprite;
    sprite.scale = Vec2{8, 1};
    sprite.position = Vec2{-0.2f, -0.9f};
    ScaleEffect scale(&sprite, Vec2{4.5f, 3}, Vec2{5, 5});
    scale.schedule(33, 33.25f);
    EXPECT_EQ(scale.delta, (Vec2{0.5f, 2}));
    scale.update(33);
    EXPECT_EQ(sprite.scale, (Vec2{4.5f, 3}));
    scale.update(33.125f);
    EXPECT_EQ(sprite.scale, (Vec2{4.75f, 4}));
    EXPECT_EQ(sprite.position, (Vec2{-0.2f, -0.9f}));
}

TEST(ScaleEffect, ASpanWithoutLengthLeavesTheScale) {
    Sprite sprite;
    sprite.scale = Vec2{2, 3};
    ScaleEffect scale(&sprite, Vec2{1, 1}, Vec2{5, 5});
    scale.schedule(1, 1);
    scale.update(1);
    EXPECT_EQ(sprite.scale, (Vec2{2, 3}));
}

TEST(FadeEffect, BlackToWhiteRaisesBrightnessAndOpacityTogether) {
    Sprite sprite;
    FadeEffect fade(&sprite, black, white);
    EXPECT_EQ(fade.from, black);
    EXPECT_EQ(fade.delta, white);
    fade.schedule(0, 5);
    fade.update(2.5f);
    EXPECT_EQ(sprite.color, (Color{0.5f, 0.5f, 0.5f, 0.5f}));
    // A first frame that comes after the start is already partly visible.
    fade.update(0.05f);
    EXPECT_GT(sprite.color.a, 0.0f);
    EXPECT_NEAR(sprite.color.a, 0.01f, 1e-7);
}

TEST(FadeEffect, EachComponentFollowsItsOwnEnds) {
    Sprite sprite;
    FadeEffect fade(&sprite, Color{1, 0, 0.25f, 1}, Color{0, 1, 0.75f, 0});
    EXPECT_EQ(fade.delta, (Color{-1, 1, 0.5f, -1}));
    fade.schedule(50, 52);
    fade.update(50.5f);
    EXPECT_EQ(sprite.color, (Color{0.75f, 0.25f, 0.375f, 0.75f}));
}

TEST(FadeEffect, WritesOnlyTheColourAndSurvivesASpanWithoutLength) {
    Sprite sprite;
    sprite.position = Vec2{0.7f, -0.2f};
    sprite.scale = Vec2{2, 2};
    FadeEffect fade(&sprite, white, black);
    fade.schedule(15, 20);
    fade.update(16);
    EXPECT_NEAR(sprite.color.r, 0.8f, 1e-6);
    EXPECT_EQ(sprite.position, (Vec2{0.7f, -0.2f}));
    EXPECT_EQ(sprite.scale, (Vec2{2, 2}));

    const Color before = sprite.color;
    fade.schedule(20, 20);
    fade.update(20);
    EXPECT_EQ(sprite.color, before);
}

// The same effects run by a timeline, frame by frame.
class InterpolationOnTheTimeline : public ::testing::Test {
protected:
    // A hold on a sprite of its own keeps the show from ending early.
    void keepRunningUntil(float end) { driver.timeline.add(0, 0, end, new MoveEffect(&background, Vec2{}, Vec2{})); }

    TimelineDriver driver;
    RecordingSprite sprite;
    Sprite background;
};

TEST_F(InterpolationOnTheTimeline, MoveIsHalfwayMidSpanAndStopsShortOfTheEnd) {
    driver.timeline.add(10, 10, 12, new MoveEffect(&sprite, Vec2{0, 0}, Vec2{1, 0}));
    keepRunningUntil(20);
    EXPECT_TRUE(driver.frameAt(9999));
    EXPECT_TRUE(sprite.draws.empty());

    EXPECT_TRUE(driver.frameAt(11000));
    ASSERT_EQ(sprite.draws.size(), 1u);
    EXPECT_NEAR(sprite.draws[0].position.x, 0.5f, 1e-5);
    EXPECT_EQ(sprite.draws[0].position.y, 0.0f);

    // The stop event is at 11.9999: 11.999 is the last frame that moves it.
    EXPECT_TRUE(driver.frameAt(11999));
    ASSERT_EQ(sprite.draws.size(), 2u);
    const float last = sprite.draws[1].position.x;
    EXPECT_LT(last, 1.0f);
    EXPECT_NEAR(last, 0.9995f, 1e-5);

    EXPECT_TRUE(driver.frameAt(12000));
    EXPECT_EQ(sprite.draws.size(), 2u);
    EXPECT_EQ(sprite.position.x, last);
}

TEST_F(InterpolationOnTheTimeline, AHoldPinsThePositionForLaterEffectsInTheFrame) {
    sprite.position = Vec2{0.9f, 0.9f};
    // Layer 1 draws first: the hold, then the scaling on layer 2 draws the
    // sprite again, still at the held point, with its own new scale.
    driver.timeline.add(2, 0, 2, new ScaleEffect(&sprite, Vec2{1, 1}, Vec2{3, 3}));
    driver.timeline.add(1, 0, 2, new MoveEffect(&sprite, Vec2{0.3f, 0.4f}, Vec2{0.3f, 0.4f}));
    keepRunningUntil(5);

    EXPECT_TRUE(driver.frameAt(1000));
    ASSERT_EQ(sprite.draws.size(), 2u);
    EXPECT_EQ(sprite.draws[0].position, (Vec2{0.3f, 0.4f}));
    EXPECT_EQ(sprite.draws[0].scale, (Vec2{1, 1}));  // not scaled yet in this frame
    EXPECT_EQ(sprite.draws[1].position, (Vec2{0.3f, 0.4f}));
    EXPECT_NEAR(sprite.draws[1].scale.x, 2.0f, 1e-5);
    EXPECT_NEAR(sprite.draws[1].scale.y, 2.0f, 1e-5);

    // The next frame: the hold's draw shows the scale the last frame left.
    EXPECT_TRUE(driver.frameAt(1500));
    ASSERT_EQ(sprite.draws.size(), 4u);
    EXPECT_EQ(sprite.draws[2].scale, sprite.draws[1].scale);
    EXPECT_NEAR(sprite.draws[3].scale.x, 2.5f, 1e-5);
}

TEST_F(InterpolationOnTheTimeline, TwoEffectsOnOneSpriteDrawItTwiceAsEachLeftIt) {
    // A move on layer 1 and a hold on layer 2: the hold overrides the move
    // for its own draw only.
    driver.timeline.add(1, 0, 2, new MoveEffect(&sprite, Vec2{0, 0}, Vec2{2, 0}));
    driver.timeline.add(2, 0, 2, new MoveEffect(&sprite, Vec2{-1, -1}, Vec2{-1, -1}));
    driver.timeline.add(3, 0, 2, new FadeEffect(&sprite, black, white));
    keepRunningUntil(5);

    EXPECT_TRUE(driver.frameAt(500));
    ASSERT_EQ(sprite.draws.size(), 3u);
    EXPECT_NEAR(sprite.draws[0].position.x, 0.5f, 1e-5);
    EXPECT_EQ(sprite.draws[0].color, white);  // the default colour, not faded yet
    EXPECT_EQ(sprite.draws[1].position, (Vec2{-1, -1}));
    EXPECT_EQ(sprite.draws[1].color, white);
    EXPECT_EQ(sprite.draws[2].position, (Vec2{-1, -1}));
    EXPECT_NEAR(sprite.draws[2].color.a, 0.25f, 1e-5);
}

TEST_F(InterpolationOnTheTimeline, ADeletedEffectLeavesItsSpriteForTheNextOne) {
    sprite.scale = Vec2{4.5f, 3};
    driver.timeline.add(1, 0, 1, new FadeEffect(&sprite, black, white));
    driver.timeline.add(1, 1, 2, new MoveEffect(&sprite, Vec2{0.2f, 0}, Vec2{0.2f, 0}));
    keepRunningUntil(5);

    EXPECT_TRUE(driver.frameAt(900));
    ASSERT_EQ(sprite.draws.size(), 1u);
    const Color faded = sprite.color;
    EXPECT_NEAR(faded.a, 0.9f, 1e-5);

    // 1.0 s: the fade is deleted, the hold starts and draws what it left.
    EXPECT_TRUE(driver.frameAt(1000));
    EXPECT_EQ(driver.timeline.activeEffects().size(), 2u);
    ASSERT_EQ(sprite.draws.size(), 2u);
    EXPECT_EQ(sprite.draws[1].color, faded);
    EXPECT_EQ(sprite.draws[1].scale, (Vec2{4.5f, 3}));
    EXPECT_EQ(sprite.draws[1].position, (Vec2{0.2f, 0}));
}

TEST_F(InterpolationOnTheTimeline, ASpanBetweenTwoFramesNeverWritesTheSprite) {
    sprite.position = Vec2{0.6f, 0.6f};
    driver.timeline.add(1, 1, 1.05f, new MoveEffect(&sprite, Vec2{0, 0}, Vec2{1, 1}));
    keepRunningUntil(5);
    EXPECT_TRUE(driver.frameAt(900));
    EXPECT_TRUE(driver.frameAt(1100));
    EXPECT_TRUE(sprite.draws.empty());
    EXPECT_TRUE(sprite.ticks.empty());
    EXPECT_EQ(sprite.position, (Vec2{0.6f, 0.6f}));
}

}  // namespace
