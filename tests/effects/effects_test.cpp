// The effects at their edges. Their arithmetic without a GL context: the
// linear effects, the curve and the path along it, the heading rule, the
// swim and bubble steps, the call effect; expected values worked out by hand
// (sines with a calculator). Then the effects that load textures and draw
// sprites of their own, read back from a real GL context (100 x 100 pixels
// for the view -1..1 on both axes).
#include "effects/blood_effect.h"
#include "effects/bubble_effect.h"
#include "effects/call_effect.h"
#include "effects/fade_effect.h"
#include "effects/move_effect.h"
#include "effects/path_effect.h"
#include "effects/scale_effect.h"
#include "effects/swim_effect.h"
#include "platform/random.h"
#include "scene/scene_globals.h"
#include "support/gl_test_context.h"
#include "support/test_textures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using namespace vesk_test;

void expectNear(const Vec2& v, float x, float y, float tolerance = 1e-6f) { EXPECT_TRUE(std::fabs(v.x - x) <= tolerance && std::fabs(v.y - y) <= tolerance) << v.x << ", " << v.y; }

TEST(LinearEffects, WriteOnlyTheirFieldLinearlyUnclampedAndNotWithoutASpan) {
    Sprite s;
    MoveEffect move(&s, Vec2{-2, 1}, Vec2{0.5f, 0.25f});
    move.schedule(10, 12), move.update(11);
    EXPECT_EQ(s.position, (Vec2{-0.75f, 0.625f}));
    move.update(13);  // outside the span it goes on
    ScaleEffect scale(&s, Vec2{4.5f, 3}, Vec2{5, 5});
    scale.schedule(33, 33.25f), scale.update(33.125f);
    FadeEffect fade(&s, Color{1, 0, 0.25f, 1}, Color{0, 1, 0.75f, 0});
    fade.schedule(50, 52), fade.update(50.5f);
    for (float end : {-1.0f, 0.0f, 5.0f}) {  // then without a span (backwards, empty): every field stays
        if (end >= 0) for (Effect* e : std::vector<Effect*>{&move, &scale, &fade}) e->schedule(5, end), e->update(5.5f);
        EXPECT_TRUE(s.position == (Vec2{1.75f, -0.125f}) && s.scale == (Vec2{4.75f, 4}) &&
                    s.color == (Color{0.75f, 0.25f, 0.375f, 0.75f})) << end;
    }
}

Spline splineOf(std::vector<Vec2> points) { Spline spline; spline.append(points.begin(), points.end()); return spline; }

TEST(Spline, HandWorkedPointsAndTangents) {
    Vec2 p, tangent;
    // Weights at u = 1/2: -1/16, 9/16, 9/16, -1/16.
    ASSERT_TRUE(splineOf({{0, 0}, {1, 0}, {1, 1}, {0, 1}}).evaluate(p, tangent, 0.5f));
    expectNear(p, 1.125f, 0.5f);
    expectNear(tangent, 0, 1.25f);
    // The fish's path reaches its very end, t = 10, on its last point (the
    // points between are the path effect's test).
    const Spline fish = splineOf(std::vector<Vec2>(pathPoints, pathPoints + pathPointCount));
    ASSERT_TRUE(fish.evaluate(p, tangent, 10));
    expectNear(p, pathPoints[11].x, pathPoints[11].y);
    Vec2 untouched{7, 7};
    for (float t : {-0.001f, 10.001f, NAN}) EXPECT_FALSE(fish.evaluate(untouched, untouched, t));
    EXPECT_FALSE(splineOf({{0, 0}, {1, 0}, {2, 0}}).evaluate(untouched, untouched, 0));
    EXPECT_EQ(untouched, (Vec2{7, 7}));
}

TEST(PathEffect, EachTenthOfTheSpanReachesTheNextPointAndCallsBackWithItsTangent) {
    Sprite fish;
    PathEffect path(fish);
    path.points.append(pathPoints, pathPoints + pathPointCount);
    std::vector<Vec2> tangents;
    path.callback = [&](Sprite& sprite, float elapsed, const Vec2& tangent) {
        EXPECT_TRUE(&sprite == &fish && std::fabs(elapsed - 0.6f * tangents.size()) < 1e-3f);
        tangents.push_back(tangent);
    };
    path.schedule(20, 26);
    for (int k = 0; k < 10; ++k) {
        path.update(20 + 0.6f * k);
        expectNear(fish.position, pathPoints[k + 1].x, pathPoints[k + 1].y, 1e-4f);
    }
    expectNear(tangents[0], 0.5f, 0.1f);  // (points[2] - points[0]) / 2
    path.update(25.9999f);                // the last frame is just short of the centre
    expectNear(fish.position, 0, 0, 1e-4f);
    EXPECT_FALSE(fish.position == (Vec2{0, 0}));
    path.schedule(3, 3), path.update(3);  // no span: the sprite stays, no callback
    EXPECT_EQ(tangents.size(), 11u);
}

TEST(FaceDirection, MirrorsExactlyWhileMovingTowardsPlusX) {
    Sprite s;
    s.scale = Vec2{-4.5f, -3};
    for (const std::pair<float, float>& step : {std::make_pair(0.0f, 4.5f), {0.001f, -4.5f}, {-0.25f, 4.5f}}) {
        faceDirection(s, 0, Vec2{step.first, 1});
        EXPECT_EQ(s.scale, (Vec2{step.second, -3})) << step.first;
    }
}

TEST(SwimEffect, StepsOnlyEveryHundredthOntoItsFigureFacingItsWay) {
    Sprite s;
    s.position = Vec2{0.7f, -0.3f}, s.scale = Vec2{4.5f, 3};
    SwimEffect swim(s);
    swim.schedule(0, 4);
    for (float now : {0.0f, 0.004f, 0.0099f}) swim.update(now);
    EXPECT_EQ(s.position, (Vec2{0.7f, -0.3f}));
    swim.update(0.01f), swim.update(0.019f);  // exactly a hundredth: (0.5 sin 0.02, 0.2 sin 0.03)
    expectNear(s.position, 0.00999933335f, 0.00599910004f, 1e-8f);
    EXPECT_EQ(s.scale.x, 4.5f);  // it jumped towards -x
    swim.update(0.021f);
    EXPECT_EQ(s.scale.x, -4.5f);  // now it moves towards +x
    swim.schedule(35, 42.1f), swim.update(35.25f);  // (0.5 sin 0.5, 0.2 sin 0.75)
    expectNear(s.position, 0.239712769f, 0.136327752f, 1e-7f);
    swim.update(35.36f);  // 0.5 sin(2 x 0.36000061) in double; a float sine is an ulp above
    EXPECT_EQ(s.position.x, 0.329692781f);
}

TEST(Bubble, StepMovesTheBaseWobblesAndSlowsDownUntilTwoSeconds) {
    Bubble bubble;
    bubble.velocity = Vec2{0.2f, 0.5f}, bubble.spreadSpeed = 0.2f, bubble.frequency = 4;
    bubble.step(0.5f, 0.1f);
    expectNear(bubble.base, 0.02f, 0.05f, 1e-7f);
    expectNear(bubble.sprite.position, 0.0654648713f, 0.0542336002f, 1e-7f);  // base + (0.05 sin 2, 0.03 sin 3)
    EXPECT_NEAR(bubble.velocity.x, 0.15f, 1e-7);                                // (2 - 0.5) * 0.2 / 2
    bubble.step(2, 0.1f), bubble.step(2.5f, 0.1f);  // from 2 s on, the sideways speed keeps its value
    expectNear(bubble.base, 0.05f, 0.15f, 1e-7f);
    expectNear(bubble.sprite.position, 0.0227989445f, 0.169508635f, 1e-7f);

    BubbleEffect effect(Vec2{0.15f, 0.15f}, 2);  // steps no closer than a hundredth
    effect.start = 23;
    for (Bubble& b : effect.bubbles) b.velocity = Vec2{0.25f, 0.3f};
    for (float now : {23.009f, 23.02f, 23.029f}) effect.update(now);
    expectNear(effect.bubbles[1].base, 0.005f, 0.006f);
}

TEST(CallEffect, CallsOnItsFirstUpdateOnlyMarkedFiredBeforeTheCall) {
    int calls = 0;
    CallEffect cue([&] { calls += cue.fired ? 1 : 100; });
    cue.update(40.15f), cue.update(40.16f), cue.draw();
    EXPECT_EQ(calls, 1);
}

const Rgba K{0, 0, 0, 255}, White{255, 255, 255, 255};

class GlEffects : public ::testing::Test {
protected:
    void SetUp() override { VESK_REQUIRE_GL(); bubbleTexture.reset(); clearFrame(0, 0, 0); }
    void TearDown() override { bubbleTexture.reset(); }  // while the context is there
};

TEST_F(GlEffects, BloodRisesWithABobOfTheAbsoluteTimeThenFadesInPlace) {
    BloodEffect blood(50);
    blood.schedule(42.3f, 52);
    EXPECT_EQ(static_cast<FileTexture2D*>(blood.texture.get())->fileName, "data/blood.png");
    // Top edges on the bottom of the view plus |0.2 sin(now * 1.7)| and
    // |0.2 sin(now * 2.7)|, the sines taken in double.
    blood.update(42.3f);
    // The second strip, 3 wide from -1.4, covers the view past both edges.
    EXPECT_EQ(blood.drops[1].scale.x * blood.drops[1].rect.x0 + blood.drops[1].position.x, -1.4f);
    EXPECT_EQ(blood.drops[0].scale.x, 1.0f);
    EXPECT_FLOAT_EQ(blood.drops[0].position.y, -0.932053506f);
    EXPECT_FLOAT_EQ(blood.drops[1].position.y, -0.820624113f);
    blood.update(50);  // at the fade start exactly, still the rise: 3 up
    EXPECT_FLOAT_EQ(blood.drops[0].position.y, 2.03521514f);
    EXPECT_FLOAT_EQ(blood.drops[1].position.y, 2.01767373f);
    // From 0.4 down to nothing over the 2 s from 50 to 52.
    for (const auto& [now, alpha] : {std::pair{50.0f, 0.4f}, {50.01f, 0.398f}, {51.0f, 0.2f}, {51.9999f, 0.00002f}}) {
        blood.update(now);
        EXPECT_NEAR(blood.drops[0].color.a, alpha, 1e-6) << now;
        EXPECT_EQ(blood.drops[1].color.a, blood.drops[0].color.a);
        EXPECT_FLOAT_EQ(blood.drops[0].position.y, 2.03521514f);
    }
    blood = BloodEffect(52);
    blood.schedule(42.3f, 52), blood.update(52.5f);
    EXPECT_EQ(blood.drops[0].color.a, 0.0f);  // transparent after a fade of no length
}

TEST_F(GlEffects, BubblesShareOneTextureAndStartInTheirRanges) {
    seedRandom(2024);
    BubbleEffect first(Vec2{0.15f, 0.15f}, 3);
    first.schedule(23, 26);
    ASSERT_TRUE(bubbleTexture);
    EXPECT_EQ(static_cast<FileTexture2D*>(bubbleTexture.get())->fileName, "data/bubble.png");
    const Vec2 origin{-0.15f, 0.25f};
    BubbleEffect effect(origin, 500);
    effect.schedule(31, 34);
    EXPECT_EQ(bubbleTexture.use_count(), 1 + 3 + 500);  // read once for all
    float smallest = 2, largest = 0, fastest = 0;
    for (const Bubble& b : effect.bubbles) {
        // Born within 0.01 of the origin, fanning out from it; over the 3 s
        // span it climbs 0.75, to the top edge, plus up to 0.3.
        EXPECT_NEAR(b.base.x, origin.x, 0.01f + 1e-6f);
        EXPECT_NEAR(b.base.y, origin.y, 0.01f + 1e-6f);
        EXPECT_EQ(b.spreadSpeed > 0, b.base.x > origin.x) << b.spreadSpeed;
        EXPECT_EQ(b.sprite.scale.x, b.sprite.scale.y);
        EXPECT_TRUE(b.velocity.y >= 0.75f / 3 && b.velocity.y <= 1.05f / 3 + 1e-6f) << b.velocity.y;
        EXPECT_TRUE(b.frequency >= 3 && b.frequency <= 6) << b.frequency;
        smallest = std::min(smallest, b.sprite.scale.x);
        largest = std::max(largest, b.sprite.scale.x);
        fastest = std::max(fastest, std::fabs(b.spreadSpeed));
    }
    EXPECT_TRUE(smallest >= 0.1f && smallest < 0.15f && largest <= 1.5f && largest > 1.45f) << smallest << largest;
    EXPECT_TRUE(fastest <= 0.5f + 1e-5f && fastest > 0.45f) << fastest;
    effect.schedule(5, 5);  // no span: no climb
    EXPECT_EQ(effect.bubbles[0].velocity.y, 0.0f);
    // The largest draw, 32767, is 1 exactly, so a bubble can reach the top
    // of the size range. This seed's third draw, the first size, is 32767.
    seedRandom(73933);
    randomInt(), randomInt();
    ASSERT_EQ(randomInt(), 32767);
    seedRandom(73933);
    BubbleEffect topDraw(origin, 1);
    topDraw.schedule(31, 34);
    EXPECT_NEAR(topDraw.bubbles[0].sprite.scale.x, 1.5f, 1e-6f);
}

TEST_F(GlEffects, SpriteEffectsAndBubblesDrawWhereTheirUpdateLeftThem) {
    Sprite sprite;
    sprite.texture = bubbleTexture = loadTestTexture("white.png", 2, 2, std::vector<Rgba>(4, White));
    MoveEffect move(&sprite, Vec2{0, 0}, Vec2{0.8f, 0});
    move.schedule(0, 1), move.update(0.5f), move.draw();  // the default 0.2 x 0.2 quad, now centred on (0.4, 0)
    BubbleEffect effect(Vec2{-0.5f, 0.5f}, 2);
    effect.schedule(0, 2);
    for (int i = 0; i < 2; ++i)  // red, then blue
        effect.bubbles[i].sprite.scale = Vec2{1, 1}, effect.bubbles[i].sprite.color = Color{float(1 - i), 0, float(i), 1};
    effect.draw();
    const Frame frame;
    EXPECT_TRUE(rgbaNear(frame.atView(0.35f, 0.05f), White));
    EXPECT_TRUE(frame.atView(0.4f, 0.15f) == K && frame.atView(0, 0) == K);
    EXPECT_TRUE(rgbaNear(frame.atView(-0.5f, 0.5f), Rgba{0, 0, 255, 255}));  // the later bubble on top
}

}  // namespace
