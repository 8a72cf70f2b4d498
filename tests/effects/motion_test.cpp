// The effects' arithmetic at its edges, without a GL context: the linear
// effects, the curve and the path along it, the heading rule, the swim and
// bubble steps, and the call effect. Expected values are worked out by hand
// (sines with a calculator).
#include "effects/bubble_effect.h"
#include "effects/call_effect.h"
#include "effects/fade_effect.h"
#include "effects/move_effect.h"
#include "effects/path_effect.h"
#include "effects/scale_effect.h"
#include "effects/swim_effect.h"
#include "scene/scene_globals.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void expectNear(const Vec2& v, float x, float y, float tolerance = 1e-6f) {
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
}

TEST(LinearEffects, WriteOnlyTheirFieldLinearlyUnclampedAndNotWithoutASpan) {
    Sprite s;
    MoveEffect move(&s, Vec2{-2, 1}, Vec2{0.5f, 0.25f});
    move.schedule(10, 12);
    move.update(11);
    EXPECT_EQ(s.position, (Vec2{-0.75f, 0.625f}));
    move.update(13);  // outside the span it goes on
    ScaleEffect scale(&s, Vec2{4.5f, 3}, Vec2{5, 5});
    scale.schedule(33, 33.25f);
    scale.update(33.125f);
    FadeEffect fade(&s, Color{1, 0, 0.25f, 1}, Color{0, 1, 0.75f, 0});
    fade.schedule(50, 52);
    fade.update(50.5f);
    for (float end : {0.0f, 5.0f, 4.0f}) {  // then no rate: every field stays
        EXPECT_EQ(s.position, (Vec2{1.75f, -0.125f}));
        EXPECT_EQ(s.scale, (Vec2{4.75f, 4}));
        EXPECT_EQ(s.color, (Color{0.75f, 0.25f, 0.375f, 0.75f}));
        for (Effect* e : std::vector<Effect*>{&move, &scale, &fade}) e->schedule(5, end), e->update(5.5f);
    }
}

Spline splineOf(std::vector<Vec2> points) {
    Spline spline;
    spline.append(points.begin(), points.end());
    return spline;
}

TEST(Spline, HandWorkedPointsAndTangents) {
    Vec2 p, tangent;
    ASSERT_TRUE(splineOf({{0, 0}, {1, 0}, {2, 0}, {3, 0}}).evaluate(p, tangent, 0.5f));
    expectNear(p, 1.5f, 0);  // a straight line is followed evenly
    expectNear(tangent, 1, 0);
    // Weights at u = 1/2: -1/16, 9/16, 9/16, -1/16.
    ASSERT_TRUE(splineOf({{0, 0}, {1, 0}, {1, 1}, {0, 1}}).evaluate(p, tangent, 0.5f));
    expectNear(p, 1.125f, 0.5f);
    expectNear(tangent, 0, 1.25f);
    // On the fish's path: at t = k on point k + 1, with the central tangent,
    // up to the very end at t = 10.
    const Spline fish = splineOf(std::vector<Vec2>(pathPoints, pathPoints + pathPointCount));
    for (int k = 0; k <= 10; ++k) {
        ASSERT_TRUE(fish.evaluate(p, tangent, float(k))) << k;
        expectNear(p, pathPoints[k + 1].x, pathPoints[k + 1].y);
        const Vec2 central = 0.5f * (pathPoints[k + 2] - pathPoints[k]);
        expectNear(tangent, central.x, central.y);
    }
    Vec2 untouched{7, 7};
    for (float t : {-0.001f, 10.001f, NAN}) EXPECT_FALSE(fish.evaluate(untouched, untouched, t));
    EXPECT_FALSE(splineOf({{0, 0}, {1, 0}, {2, 0}}).evaluate(untouched, untouched, 0));
    EXPECT_EQ(untouched, (Vec2{7, 7}));
}

TEST(PathEffect, EachTenthOfTheSpanReachesTheNextPointFacingItsWay) {
    Sprite fish;
    fish.scale = Vec2{4.5f, 3};
    PathEffect path(fish);
    path.points.append(pathPoints, pathPoints + pathPointCount);
    std::vector<Vec2> tangents;
    path.callback = [&](Sprite& sprite, float elapsed, const Vec2& tangent) {
        EXPECT_TRUE(&sprite == &fish && std::fabs(elapsed - 0.6f * tangents.size()) < 1e-3f);
        tangents.push_back(tangent);
        faceDirection(sprite, elapsed, tangent);
    };
    path.schedule(20, 26);
    for (int k = 0; k < 10; ++k) {
        path.update(20 + 0.6f * k);
        expectNear(fish.position, pathPoints[k + 1].x, pathPoints[k + 1].y, 1e-4f);
        EXPECT_EQ(fish.scale.x, tangents.back().x > 0 ? -4.5f : 4.5f) << k;
    }
    expectNear(tangents[0], 0.5f, 0.1f);  // (points[2] - points[0]) / 2
    path.update(25.9999f);                // the last frame is just short of the centre
    expectNear(fish.position, 0, 0, 1e-4f);
    EXPECT_FALSE(fish.position == (Vec2{0, 0}));
    path.schedule(3, 3);  // no span: the sprite stays, no callback
    path.update(3);
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
    s.position = Vec2{0.7f, -0.3f};
    s.scale = Vec2{4.5f, 3};
    SwimEffect swim(s);
    swim.schedule(0, 4);
    for (float now : {0.0f, 0.004f, 0.0099f}) swim.update(now);
    EXPECT_EQ(s.position, (Vec2{0.7f, -0.3f}));
    swim.update(0.01f);  // exactly a hundredth: (0.5 sin 0.02, 0.2 sin 0.03)
    swim.update(0.019f);
    expectNear(s.position, 0.00999933335f, 0.00599910004f, 1e-8f);
    EXPECT_EQ(s.scale.x, 4.5f);  // it jumped towards -x
    swim.update(0.021f);
    EXPECT_EQ(s.scale.x, -4.5f);  // now it moves towards +x
    swim.schedule(35, 42.1f);
    swim.update(35.25f);  // (0.5 sin 0.5, 0.2 sin 0.75)
    expectNear(s.position, 0.239712769f, 0.136327752f, 1e-7f);
}

TEST(Bubble, StepMovesTheBaseWobblesAndSlowsDownUntilTwoSeconds) {
    Bubble bubble;
    bubble.velocity = Vec2{0.2f, 0.5f};
    bubble.spreadSpeed = 0.2f;
    bubble.frequency = 4;
    bubble.step(0.5f, 0.1f);
    expectNear(bubble.base, 0.02f, 0.05f, 1e-7f);
    expectNear(bubble.sprite.position, 0.0654648713f, 0.0542336002f, 1e-7f);  // base + (0.05 sin 2, 0.03 sin 3)
    EXPECT_NEAR(bubble.velocity.x, 0.15f, 1e-7);                                // (2 - 0.5) * 0.2 / 2
    bubble.step(2, 0.1f);  // from 2 s on, the sideways speed keeps its value
    bubble.step(2.5f, 0.1f);
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
    CallEffect* cue = nullptr;
    CallEffect owned([&] { calls += cue->fired ? 1 : 100; });
    cue = &owned;
    cue->update(40.15f);
    cue->update(40.16f);
    cue->draw();
    EXPECT_EQ(calls, 1);
    CallEffect empty{boost::function<void()>()};
    empty.update(1);
    EXPECT_TRUE(empty.fired);
}

}  // namespace
