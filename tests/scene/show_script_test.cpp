// The filled timeline read back after the show's set-up: every row of the
// script with its kind, target, layer, times, arguments and order, and the
// sprites as the asset phase leaves them.
#include "effects/blood_effect.h"
#include "effects/bubble_effect.h"
#include "effects/call_effect.h"
#include "effects/fade_effect.h"
#include "effects/face_direction.h"
#include "effects/move_effect.h"
#include "effects/path_effect.h"
#include "effects/scale_effect.h"
#include "effects/swim_effect.h"
#include "platform/dialog.h"
#include "platform/sound/fsound.h"
#include "platform/sound/sound_output.h"
#include "scene/scene_globals.h"
#include "scene/setup_scene.h"
#include "support/gl_test_context.h"
#include "timeline/timeline.h"

#include <boost/bind/bind.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

std::vector<std::string> boxes;
void recordBox(const char* text) { boxes.push_back(text); }

enum Kind { Move, Scale, Fade, Swim, Path, Bubbles, Blood, Play, Mute, Unmute };

struct Row {
    int number;
    int layer;
    float start;
    float end;
    Kind kind;
    Sprite* target;          // sprite effects
    float a, b, c, d;        // from (x, y) and to (x, y); fade: 0 = in, 1 = out; bubbles: origin x, y, count
    FSOUND_STREAM** sample;  // play cues
};

const float in = 0, out = 1;

// The script, row by row, as the show is meant to be.
std::vector<Row> expectedRows() {
    return {
        {1, 2, 0, 5, Fade, &titleSprite, in, 0, 0, 0, nullptr},
        {2, 2, 5, 15, Move, &titleSprite, 0, 0, 0, 0, nullptr},
        {3, 2, 5, 15, Fade, &creditSprite, in, 0, 0, 0, nullptr},
        {4, 2, 15, 20, Fade, &creditSprite, out, 0, 0, 0, nullptr},
        {5, 2, 15, 20, Fade, &titleSprite, out, 0, 0, 0, nullptr},
        {6, 1, 15, 20, Fade, &fishtankSprite, in, 0, 0, 0, nullptr},
        {7, 1, 20, 60, Move, &fishtankSprite, 0, 0, 0, 0, nullptr},
        {8, 10, 20, 26, Path, &spinefinSprite, 0, 0, 0, 0, nullptr},
        {9, 11, 23, 26, Bubbles, nullptr, 0.15f, 0.15f, 3, 0, nullptr},
        {10, 10, 26, 30, Swim, &spinefinSprite, 0, 0, 0, 0, nullptr},
        {11, 10, 30, 31, Move, &spinefinSprite, 0, 0, 0, 0, nullptr},
        {12, 1, 31, 31.15f, Play, nullptr, 0, 0, 0, 0, &spinefinSample},
        {13, 10, 31, 31.15f, Move, &spinefinOpenSprite, 0, 0, 0, 0, nullptr},
        {14, 10, 31.15f, 31.2f, Move, &spinefinSprite, 0, 0, 0, 0, nullptr},
        {15, 10, 31.2f, 31.4f, Move, &spinefinOpenSprite, 0, 0, 0, 0, nullptr},
        {16, 10, 31.4f, 35, Move, &spinefinSprite, 0, 0, 0, 0, nullptr},
        {17, 10, 33, 33.2f, Scale, &spinefinSprite, 4.5f, 3.0f, 5.0f, 5.0f, nullptr},
        {18, 10, 34, 34.2f, Scale, &spinefinSprite, 5.0f, 5.0f, 4.5f, 3.0f, nullptr},
        {19, 11, 31, 34, Bubbles, nullptr, -0.15f, 0.25f, 7, 0, nullptr},
        {20, 10, 35, 42.1f, Swim, &spinefinSprite, 0, 0, 0, 0, nullptr},
        {21, 10, 42.1f, 42.3f, Move, &spinefinSprite, 0, 0, -0.2f, -0.9f, nullptr},
        {22, 10, 42.2f, 42.3f, Scale, &spinefinSprite, 4.5f, 3.0f, 8.0f, 1.0f, nullptr},
        {23, 10, 42.3f, 52, Move, &spinefinSprite, -0.2f, -0.9f, -0.2f, -0.9f, nullptr},
        {24, 1, 40.1f, 40.2f, Mute, nullptr, 0, 0, 0, 0, nullptr},
        {25, 2, 40.1f, 40.2f, Play, nullptr, 0, 0, 0, 0, &carcrashSample},
        {26, 1, 45.1f, 45.2f, Unmute, nullptr, 0, 0, 0, 0, nullptr},
        {27, 15, 42.1f, 42.3f, Move, &tolvaneSprite, 0, 5.0f, 0, 0.6f, nullptr},
        {28, 15, 42.3f, 52, Move, &tolvaneSprite, 0, 0.6f, 0, 0.6f, nullptr},
        {29, 1, 47, 47.1f, Play, nullptr, 0, 0, 0, 0, &juiceSample},
        {30, 20, 42.3f, 52, Blood, nullptr, 50.0f, 0, 0, 0, nullptr},
        {31, 10, 50, 52, Fade, &spinefinSprite, out, 0, 0, 0, nullptr},
        {32, 1, 50, 52, Fade, &fishtankSprite, out, 0, 0, 0, nullptr},
        {33, 15, 52, 54, Move, &tolvaneSprite, 0, 0.6f, -0.3f, -2.0f, nullptr},
        {34, 15, 52, 54, Scale, &tolvaneSprite, 1.0f, 1.0f, 0.8f, 0.8f, nullptr},
        {35, 15, 54, 64, Move, &tolvaneSprite, -0.3f, -2.0f, -0.3f, -2.0f, nullptr},
        {36, 1, 54, 54.1f, Play, nullptr, 0, 0, 0, 0, &tolvaneSample},
        {37, 16, 56, 58, Fade, &outroSprite, in, 0, 0, 0, nullptr},
        {38, 16, 57, 59, Fade, &outro2Sprite, in, 0, 0, 0, nullptr},
        {39, 15, 64, 68.5f, Fade, &tolvaneSprite, out, 0, 0, 0, nullptr},
        {40, 16, 58, 68, Fade, &outroSprite, out, 0, 0, 0, nullptr},
        {41, 16, 59, 68, Fade, &outro2Sprite, out, 0, 0, 0, nullptr},
    };
}

class ShowScriptTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string whyNot;
        haveGl = vesk_test::useGlTestContext(&whyNot);
        if (!haveGl) return;
        setErrorBoxHandler(recordBox);
        setSoundOutput(SoundOutput::Manual);
        FSOUND_Init(44100, 8, 0);
        setupScene();
    }
    static void TearDownTestSuite() {
        setErrorBoxHandler(nullptr);
        FSOUND_Close();
    }
    void SetUp() override {
        if (!haveGl) GTEST_SKIP() << "no GL context for the scene's textures";
    }
    static bool haveGl;
};
bool ShowScriptTest::haveGl = false;

std::string describe(const Row& row) { return "row " + std::to_string(row.number); }

// Checks the effect's kind, target and arguments against the row.
void expectRow(Effect* effect, const Row& row) {
    SCOPED_TRACE(describe(row));
    EXPECT_EQ(effect->layer, row.layer);
    switch (row.kind) {
    case Move:
    case Scale: {
        Vec2Effect* vec = row.kind == Move ? static_cast<Vec2Effect*>(dynamic_cast<MoveEffect*>(effect))
                                           : static_cast<Vec2Effect*>(dynamic_cast<ScaleEffect*>(effect));
        ASSERT_NE(vec, nullptr) << "wrong kind";
        EXPECT_EQ(vec->target, row.target);
        EXPECT_EQ(vec->from.x, row.a);
        EXPECT_EQ(vec->from.y, row.b);
        EXPECT_FLOAT_EQ(vec->from.x + vec->delta.x, row.c);
        EXPECT_FLOAT_EQ(vec->from.y + vec->delta.y, row.d);
        break;
    }
    case Fade: {
        FadeEffect* fade = dynamic_cast<FadeEffect*>(effect);
        ASSERT_NE(fade, nullptr) << "wrong kind";
        EXPECT_EQ(fade->target, row.target);
        const Color& from = row.a == in ? transparentBlack : opaqueWhite;
        const float sign = row.a == in ? 1.0f : -1.0f;
        EXPECT_TRUE(fade->from == from);
        EXPECT_TRUE((fade->delta == Color{sign, sign, sign, sign}));
        break;
    }
    case Swim: {
        SwimEffect* swim = dynamic_cast<SwimEffect*>(effect);
        ASSERT_NE(swim, nullptr) << "wrong kind";
        EXPECT_EQ(swim->target, row.target);
        break;
    }
    case Path: {
        PathEffect* path = dynamic_cast<PathEffect*>(effect);
        ASSERT_NE(path, nullptr) << "wrong kind";
        EXPECT_EQ(path->target, row.target);
        ASSERT_EQ(path->points.size(), 13u);
        EXPECT_TRUE((path->points[0] == Vec2{-2.0f, 0.0f}));
        EXPECT_TRUE((path->points[1] == Vec2{-2.0f, 0.0f}));
        EXPECT_TRUE((path->points[6] == Vec2{-0.04f, -0.03f}));
        EXPECT_TRUE((path->points[11] == Vec2{0.0f, 0.0f}));
        EXPECT_TRUE((path->points[12] == Vec2{0.0f, 0.0f}));
        ASSERT_FALSE(path->callback.empty());
        EXPECT_TRUE(path->callback == &faceDirection);
        break;
    }
    case Bubbles: {
        BubbleEffect* bubbles = dynamic_cast<BubbleEffect*>(effect);
        ASSERT_NE(bubbles, nullptr) << "wrong kind";
        EXPECT_TRUE((bubbles->origin == Vec2{row.a, row.b}));
        EXPECT_EQ(bubbles->bubbles.size(), static_cast<size_t>(row.c));
        break;
    }
    case Blood: {
        BloodEffect* blood = dynamic_cast<BloodEffect*>(effect);
        ASSERT_NE(blood, nullptr) << "wrong kind";
        EXPECT_EQ(blood->fadeStart, 50.0f);
        break;
    }
    case Play:
    case Mute:
    case Unmute: {
        CallEffect* call = dynamic_cast<CallEffect*>(effect);
        ASSERT_NE(call, nullptr) << "wrong kind";
        EXPECT_FALSE(call->fired);
        if (row.kind == Play)
            EXPECT_TRUE(call->action == boost::bind(&FSOUND_Stream_Play, 1, *row.sample));
        else
            EXPECT_TRUE(call->action ==
                        boost::bind(&FSOUND_SetMute, 0, static_cast<signed char>(row.kind == Mute ? 1 : 0)));
        break;
    }
    }
}

TEST_F(ShowScriptTest, TheAssetPhaseLoadsEverythingWithoutAnErrorBox) {
    EXPECT_TRUE(boxes.empty()) << boxes.front();
    EXPECT_NE(spinefinSample, nullptr);
    EXPECT_NE(juiceSample, nullptr);
    EXPECT_NE(tolvaneSample, nullptr);
    EXPECT_NE(carcrashSample, nullptr);
    // Four distinct streams: the cues must not play each other's sample.
    std::vector<FSOUND_STREAM*> samples = {spinefinSample, juiceSample, tolvaneSample, carcrashSample};
    std::sort(samples.begin(), samples.end());
    EXPECT_EQ(std::unique(samples.begin(), samples.end()), samples.end());
    EXPECT_TRUE(bubbleTexture);
}

TEST_F(ShowScriptTest, SpritesLeaveTheAssetPhaseWithTheirGeometryAndFullColour) {
    struct Expected {
        const char* name;
        Sprite* sprite;
        QuadRect rect;
        Vec2 scale;
        Vec2 position;
    };
    const QuadRect unit = {-0.1f, -0.1f, 0.1f, 0.1f};
    const Expected sprites[] = {
        {"fishtank", &fishtankSprite, {-1, -1, 1, 1}, {1, 1}, {0, 0}},
        {"spinefin", &spinefinSprite, unit, {4.5f, 3.0f}, {0, 0}},
        {"spinefin open", &spinefinOpenSprite, unit, {4.5f, 3.0f}, {0, 0}},
        {"tolvane", &tolvaneSprite, {-0.75f, -3.0f, 0.75f, 3.0f}, {1, 1}, {0, 0}},
        {"title", &titleSprite, {-1, -0.25f, 1, 0.25f}, {1, 1}, {0, 0}},
        {"credit", &creditSprite, {-0.2f, -0.05f, 0.2f, 0.05f}, {1, 1}, {0.7f, -0.2f}},
        {"outro", &outroSprite, {0, 0, 1, 1}, {1, 1}, {0, 0}},
        {"outro2", &outro2Sprite, {0, -0.5f, 1, -0.25f}, {1, 1}, {0, 0}},
    };
    std::vector<Texture2D*> textures;
    for (const Expected& e : sprites) {
        SCOPED_TRACE(e.name);
        const Sprite& s = *e.sprite;
        EXPECT_EQ(s.rect.x0, e.rect.x0);
        EXPECT_EQ(s.rect.y0, e.rect.y0);
        EXPECT_EQ(s.rect.x1, e.rect.x1);
        EXPECT_EQ(s.rect.y1, e.rect.y1);
        EXPECT_TRUE(s.scale == e.scale);
        EXPECT_TRUE(s.position == e.position);
        EXPECT_TRUE((s.color == Color{1, 1, 1, 1}));
        EXPECT_EQ(s.rotation, 0.0f);
        EXPECT_EQ(s.texCoords.s0, 0.0f);
        EXPECT_EQ(s.texCoords.t1, 1.0f);
        ASSERT_TRUE(s.texture);
        // Each sprite owns its texture alone.
        EXPECT_EQ(s.texture.use_count(), 1);
        textures.push_back(s.texture.get());
    }
    std::sort(textures.begin(), textures.end());
    EXPECT_EQ(std::unique(textures.begin(), textures.end()), textures.end());
}

TEST_F(ShowScriptTest, TheTimelineHoldsEveryRowInScriptOrder) {
    const std::vector<Row> rows = expectedRows();
    ASSERT_EQ(rows.size(), 41u);
    const Timeline::EventList& events = timeline.scheduledEvents();
    ASSERT_EQ(events.size(), 82u);

    // The expected event list: each row's start and stop, ordered by time and,
    // among equal times, by the order in which the script adds them.
    struct ExpectedEvent {
        float time;
        size_t row;
        bool isStart;
    };
    std::vector<ExpectedEvent> expected;
    for (size_t i = 0; i < rows.size(); ++i) {
        expected.push_back({rows[i].start, i, true});
        expected.push_back({rows[i].end - 0.0001f, i, false});
    }
    std::stable_sort(expected.begin(), expected.end(),
                     [](const ExpectedEvent& x, const ExpectedEvent& y) { return x.time < y.time; });

    std::map<size_t, Effect*> effectOfRow;
    size_t index = 0;
    for (const TimelineEvent& event : events) {
        const ExpectedEvent& want = expected[index++];
        const Row& row = rows[want.row];
        SCOPED_TRACE(describe(row) + (want.isStart ? " start" : " stop"));
        EXPECT_EQ(event.time, want.time);
        EXPECT_EQ(event.isStart, want.isStart);
        if (want.isStart) {
            effectOfRow[want.row] = event.effect;
            expectRow(event.effect, row);
        } else {
            EXPECT_EQ(event.effect, effectOfRow[want.row]) << "stop of another row's effect";
        }
    }
    // 41 different effects, each added once.
    std::vector<Effect*> effects;
    for (const auto& entry : effectOfRow) effects.push_back(entry.second);
    std::sort(effects.begin(), effects.end());
    EXPECT_EQ(std::unique(effects.begin(), effects.end()), effects.end());
    EXPECT_EQ(effects.size(), 41u);
}

TEST_F(ShowScriptTest, TheShowEndsWithTheLastFadeOfTheSecondCharacter) {
    const TimelineEvent& last = *timeline.scheduledEvents().rbegin();
    EXPECT_EQ(last.time, 68.4999f);
    EXPECT_FALSE(last.isStart);
    FadeEffect* fade = dynamic_cast<FadeEffect*>(last.effect);
    ASSERT_NE(fade, nullptr);
    EXPECT_EQ(fade->target, &tolvaneSprite);
}

}  // namespace
