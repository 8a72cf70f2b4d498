// The Catmull-Rom curve and the path effect that follows it, with the
// fish's thirteen control points.
#include "effects/face_direction.h"
#include "effects/move_effect.h"
#include "effects/path_effect.h"
#include "effects/recording_sprite.h"
#include "effects/spline.h"
#include "effects/timeline_driver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <vector>

namespace {

const Vec2 fishPath[] = {
    {-2.0f, 0.0f},   {-2.0f, 0.0f},   {-1.0f, 0.2f},   {-0.5f, -0.2f}, {-0.2f, 0.1f},
    {-0.15f, 0.035f}, {-0.04f, -0.03f}, {0.0f, 0.025f},  {0.04f, -0.02f}, {-0.02f, 0.015f},
    {0.01f, -0.01f},  {0.0f, 0.0f},     {0.0f, 0.0f},
};
const int fishPathCount = 13;

#define EXPECT_VEC2_NEAR(actual, expected, tolerance)          \
    do {                                                       \
        EXPECT_NEAR((actual).x, (expected).x, tolerance) << #actual; \
        EXPECT_NEAR((actual).y, (expected).y, tolerance) << #actual; \
    } while (0)

Spline splineOf(std::initializer_list<Vec2> points) {
    Spline spline;
    spline.append(points.begin(), points.end());
    return spline;
}

struct CallbackCall {
    Sprite* sprite;
    float elapsed;
    Vec2 tangent;
};

TEST(Spline, AppendsARangeInOrder) {
    Spline spline;
    spline.push_back(Vec2{9, 9});
    spline.insert(spline.end(), std::begin(fishPath), std::end(fishPath));
    ASSERT_EQ(spline.size(), 14u);
    EXPECT_EQ(spline[0], (Vec2{9, 9}));
    EXPECT_EQ(spline[3], (Vec2{-1.0f, 0.2f}));
    EXPECT_EQ(spline[13], (Vec2{0, 0}));
}

TEST(Spline, FollowsAStraightLineEvenly) {
    const Spline line = splineOf({{0, 0}, {1, 0}, {2, 0}, {3, 0}});
    Vec2 position, tangent;
    ASSERT_TRUE(line.evaluate(position, tangent, 0.5f));
    EXPECT_VEC2_NEAR(position, (Vec2{1.5f, 0}), 1e-6);
    EXPECT_VEC2_NEAR(tangent, (Vec2{1, 0}), 1e-6);
}

TEST(Spline, MidSegmentValueOfABentCurve) {
    // Weights at u = 1/2: -1/16, 9/16, 9/16, -1/16.
    const Spline bend = splineOf({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    Vec2 position, tangent;
    ASSERT_TRUE(bend.evaluate(position, tangent, 0.5f));
    EXPECT_VEC2_NEAR(position, (Vec2{1.125f, 0.5f}), 1e-6);
    EXPECT_VEC2_NEAR(tangent, (Vec2{0, 1.25f}), 1e-6);
}

TEST(Spline, PassesThroughTheInnerPointsWithCentralTangents) {
    Spline spline;
    spline.append(std::begin(fishPath), std::end(fishPath));
    for (int k = 0; k < fishPathCount - 3; ++k) {
        Vec2 position, tangent;
        ASSERT_TRUE(spline.evaluate(position, tangent, static_cast<float>(k)));
        EXPECT_VEC2_NEAR(position, fishPath[k + 1], 1e-6);
        const Vec2 central{0.5f * (fishPath[k + 2].x - fishPath[k].x), 0.5f * (fishPath[k + 2].y - fishPath[k].y)};
        EXPECT_VEC2_NEAR(tangent, central, 1e-6);
    }
    // Run to its very end, the curve arrives on the last-but-one point.
    Vec2 position, tangent;
    ASSERT_TRUE(spline.evaluate(position, tangent, 10));
    EXPECT_VEC2_NEAR(position, (Vec2{0, 0}), 1e-6);
    // ... with the tangent (last - points[10]) / 2.
    EXPECT_VEC2_NEAR(tangent, (Vec2{-0.005f, 0.005f}), 1e-6);
}

TEST(Spline, RefusesParametersOffTheCurveAndShortPointLists) {
    Spline spline;
    spline.append(std::begin(fishPath), std::end(fishPath));
    const Vec2 untouched{7, 7};
    for (float t : {-0.001f, 10.001f, NAN, INFINITY}) {
        Vec2 position = untouched, tangent = untouched;
        EXPECT_FALSE(spline.evaluate(position, tangent, t)) << t;
        EXPECT_EQ(position, untouched);
        EXPECT_EQ(tangent, untouched);
    }
    for (int count = 0; count < 4; ++count) {
        Spline shortSpline;
        shortSpline.append(fishPath, fishPath + count);
        Vec2 position = untouched, tangent = untouched;
        EXPECT_FALSE(shortSpline.evaluate(position, tangent, 0)) << count << " points";
        EXPECT_EQ(position, untouched);
    }
}

class PathEffectTest : public ::testing::Test {
protected:
    PathEffectTest() : path(new PathEffect(fish)) {
        fish.scale = Vec2{4.5f, 3};
        path->points.append(std::begin(fishPath), std::end(fishPath));
    }
    ~PathEffectTest() override { delete path; }

    void recordCalls() {
        path->callback = [this](Sprite& sprite, float elapsed, const Vec2& tangent) {
            calls.push_back(CallbackCall{&sprite, elapsed, tangent});
        };
    }

    RecordingSprite fish;
    PathEffect* path;
    std::vector<CallbackCall> calls;
};

TEST_F(PathEffectTest, StartsEmptyAndKeepsItsSpan) {
    PathEffect fresh(fish);
    EXPECT_EQ(fresh.target, &fish);
    EXPECT_TRUE(fresh.points.empty());
    EXPECT_FALSE(fresh.callback);
    fresh.schedule(20, 26);
    EXPECT_EQ(fresh.start, 20.0f);
    EXPECT_EQ(fresh.duration, 6.0f);
}

TEST_F(PathEffectTest, TheFirstFrameIsOnTheSecondPoint) {
    recordCalls();
    path->schedule(20, 26);
    fish.position = Vec2{0.4f, 0.4f};
    path->update(20);
    EXPECT_EQ(fish.position, (Vec2{-2, 0}));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].sprite, &fish);
    EXPECT_EQ(calls[0].elapsed, 0.0f);
    // (points[2] - points[0]) / 2
    EXPECT_FLOAT_EQ(calls[0].tangent.x, 0.5f);
    EXPECT_FLOAT_EQ(calls[0].tangent.y, 0.1f);
    EXPECT_EQ(fish.ticks.size(), 1u);
}

TEST_F(PathEffectTest, EachTenthOfTheSpanReachesTheNextPoint) {
    recordCalls();
    path->schedule(20, 26);
    for (int k = 0; k < 10; ++k) {
        path->update(20 + 0.6f * k);
        EXPECT_VEC2_NEAR(fish.position, fishPath[k + 1], 1e-4);
        EXPECT_NEAR(calls.back().elapsed, 0.6f * k, 1e-5);
    }
    // The last frame of the span is just short of the centre, and is not
    // snapped onto it.
    path->update(25.9999f);
    EXPECT_VEC2_NEAR(fish.position, (Vec2{0, 0}), 1e-4);
    EXPECT_FALSE(fish.position == (Vec2{0, 0}));
}

TEST_F(PathEffectTest, EverySegmentTakesTheSameTime) {
    path->schedule(0, 10);
    // Halfway through segment 1 (from (-1, 0.2) to (-0.5, -0.2)) and halfway
    // through segment 9 (from (0.01, -0.01) to (0, 0)): same time, very
    // different lengths. Each is the curve's midpoint of its segment.
    path->update(1.5f);
    const Vec2 longMid = fish.position;
    path->update(9.5f);
    const Vec2 shortMid = fish.position;
    // -1/16 P0 + 9/16 P1 + 9/16 P2 - 1/16 P3
    EXPECT_VEC2_NEAR(longMid, (Vec2{-0.70625f, -0.00625f}), 1e-5);
    EXPECT_VEC2_NEAR(shortMid, (Vec2{0.006875f, -0.00656250f}), 1e-5);
}

TEST_F(PathEffectTest, IsMirroredExactlyWhileTheTangentPointsRight) {
    path->callback = [this](Sprite& sprite, float elapsed, const Vec2& tangent) {
        calls.push_back(CallbackCall{&sprite, elapsed, tangent});
        faceDirection(sprite, elapsed, tangent);
    };
    path->schedule(20, 26);
    int mirrored = 0, unmirrored = 0;
    for (int ms = 20000; ms < 26000; ms += 7) {
        path->update(ms * 0.001f);
        const bool right = calls.back().tangent.x > 0;
        EXPECT_EQ(fish.scale.x, right ? -4.5f : 4.5f) << "at " << ms << " ms";
        EXPECT_EQ(fish.scale.y, 3.0f);
        (right ? mirrored : unmirrored) += 1;
    }
    EXPECT_GT(mirrored, 0);
    EXPECT_GT(unmirrored, 0);

    // On points[6] the tangent (0.075, -0.005) points right, on points[8]
    // (-0.01, -0.005) left.
    path->update(20 + 0.6f * 5);
    EXPECT_EQ(fish.scale.x, -4.5f);
    path->update(20 + 0.6f * 7);
    EXPECT_EQ(fish.scale.x, 4.5f);
}

TEST_F(PathEffectTest, WithoutACallbackItStillMovesAndIsDrawn) {
    path->schedule(20, 26);
    path->update(20.6f);
    EXPECT_VEC2_NEAR(fish.position, fishPath[2], 1e-4);
    path->draw();
    ASSERT_EQ(fish.draws.size(), 1u);
    EXPECT_VEC2_NEAR(fish.draws[0].position, fishPath[2], 1e-4);
    EXPECT_EQ(fish.scale, (Vec2{4.5f, 3}));
}

TEST_F(PathEffectTest, TooFewPointsOrNoSpanLeaveTheSpriteWhereItStands) {
    recordCalls();
    for (int count = 0; count < 4; ++count) {
        PathEffect shortPath(fish);
        shortPath.points.append(fishPath + 2, fishPath + 2 + count);
        shortPath.callback = path->callback;
        shortPath.schedule(0, 1);
        fish.position = Vec2{0.3f, 0.3f};
        shortPath.update(0.5f);
        EXPECT_EQ(fish.position, (Vec2{0.3f, 0.3f})) << count << " points";
        shortPath.draw();
    }
    path->schedule(3, 3);
    path->update(3);
    EXPECT_EQ(fish.position, (Vec2{0.3f, 0.3f}));
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(fish.draws.size(), 4u);
}

TEST_F(PathEffectTest, OnTheTimelineItRunsThroughItsSpanAndIsDeleted) {
    TimelineDriver driver;
    recordCalls();
    driver.timeline.add(10, 20, 26, path);
    PathEffect* const added = path;
    path = nullptr;  // the timeline owns it now
    Sprite background;
    driver.timeline.add(0, 0, 30, new MoveEffect(&background, Vec2{}, Vec2{}));

    EXPECT_TRUE(driver.frameAt(20000));
    EXPECT_VEC2_NEAR(fish.position, (Vec2{-2, 0}), 1e-4);
    EXPECT_TRUE(driver.frameAt(23000));
    EXPECT_VEC2_NEAR(fish.position, fishPath[6], 1e-4);
    EXPECT_TRUE(driver.frameAt(26000));
    // `added` is deleted now: compare addresses only, never look it up.
    for (const Effect* effect : driver.timeline.activeEffects()) EXPECT_NE(effect, added);
    EXPECT_EQ(driver.timeline.activeEffects().size(), 1u);
    EXPECT_EQ(calls.size(), 2u);
    EXPECT_EQ(fish.draws.size(), 2u);
}

}  // namespace
