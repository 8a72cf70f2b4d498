// The filled timeline read back after the show's set-up, against the script
// written out once more by hand: every row with its kind, target, layer,
// times, arguments and order; the sprites as the asset phase leaves them;
// and what the scene's globals do at exit.
#include "effects/blood_effect.h"
#include "effects/bubble_effect.h"
#include "effects/call_effect.h"
#include "effects/face_direction.h"
#include "effects/fade_effect.h"
#include "effects/move_effect.h"
#include "effects/path_effect.h"
#include "effects/scale_effect.h"
#include "effects/swim_effect.h"
#include "platform/sound/fsound.h"
#include "platform/sound/sound_output.h"
#include "scene/scene_globals.h"
#include "scene/setup_scene.h"
#include "support/error_box_recorder.h"
#include "support/gl_test_context.h"
#include "timeline/timeline.h"

#include <boost/bind/bind.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>

namespace {

enum Kind { Move, Scale, FadeIn, FadeOut, Swim, Path, Bubbles, Blood, Play, Mute, Unmute };

struct Row {
    int layer;
    float start, end;
    Kind kind;
    const void* what = nullptr;  // the target sprite, or the sample of a play cue
    float a = 0, b = 0, c = 0, d = 0;  // move, scale: from (a, b) to (c, d); bubbles: origin (a, b), count c; blood: fade start a
};

Sprite *const title = &titleSprite, *const credit = &creditSprite, *const tank = &fishtankSprite,
              *const fish = &spinefinSprite, *const open = &spinefinOpenSprite, *const tolvane = &tolvaneSprite,
              *const outro = &outroSprite, *const outro2 = &outro2Sprite;

// The show's script, row by row, in the order it is added.
const Row script[] = {
    {2, 0, 5, FadeIn, title},         {2, 5, 15, Move, title},          {2, 5, 15, FadeIn, credit},
    {2, 15, 20, FadeOut, credit},     {2, 15, 20, FadeOut, title},      {1, 15, 20, FadeIn, tank},
    {1, 20, 60, Move, tank},          {10, 20, 26, Path, fish},         {11, 23, 26, Bubbles, nullptr, 0.15f, 0.15f, 3},
    {10, 26, 30, Swim, fish},         {10, 30, 31, Move, fish},         {1, 31, 31.15f, Play, &spinefinSample},
    {10, 31, 31.15f, Move, open},     {10, 31.15f, 31.2f, Move, fish},  {10, 31.2f, 31.4f, Move, open},
    {10, 31.4f, 35, Move, fish},      {10, 33, 33.2f, Scale, fish, 4.5f, 3, 5, 5},
    {10, 34, 34.2f, Scale, fish, 5, 5, 4.5f, 3},                        {11, 31, 34, Bubbles, nullptr, -0.15f, 0.25f, 7},
    {10, 35, 42.1f, Swim, fish},      {10, 42.1f, 42.3f, Move, fish, 0, 0, -0.2f, -0.9f},
    {10, 42.2f, 42.3f, Scale, fish, 4.5f, 3, 8, 1},                     {10, 42.3f, 52, Move, fish, -0.2f, -0.9f, -0.2f, -0.9f},
    {1, 40.1f, 40.2f, Mute},          {2, 40.1f, 40.2f, Play, &carcrashSample},                {1, 45.1f, 45.2f, Unmute},
    {15, 42.1f, 42.3f, Move, tolvane, 0, 5, 0, 0.6f},                   {15, 42.3f, 52, Move, tolvane, 0, 0.6f, 0, 0.6f},
    {1, 47, 47.1f, Play, &juiceSample},                                 {20, 42.3f, 52, Blood, nullptr, 50},
    {10, 50, 52, FadeOut, fish},      {1, 50, 52, FadeOut, tank},       {15, 52, 54, Move, tolvane, 0, 0.6f, -0.3f, -2},
    {15, 52, 54, Scale, tolvane, 1, 1, 0.8f, 0.8f},                     {15, 54, 64, Move, tolvane, -0.3f, -2, -0.3f, -2},
    {1, 54, 54.1f, Play, &tolvaneSample},                               {16, 56, 58, FadeIn, outro},
    {16, 57, 59, FadeIn, outro2},     {15, 64, 68.5f, FadeOut, tolvane}, {16, 58, 68, FadeOut, outro},
    {16, 59, 68, FadeOut, outro2},
};

// The fish's way in: the first and last points doubled.
const float fishPath[13][2] = {{-2, 0},         {-2, 0},    {-1, 0.2f},      {-0.5f, -0.2f},  {-0.2f, 0.1f},
                               {-0.15f, 0.035f}, {-0.04f, -0.03f}, {0, 0.025f}, {0.04f, -0.02f}, {-0.02f, 0.015f},
                               {0.01f, -0.01f}, {0, 0},    {0, 0}};

void expectVec2(const Vec2& v, float x, float y, const char* what) {
    EXPECT_FLOAT_EQ(v.x, x) << what;
    EXPECT_FLOAT_EQ(v.y, y) << what;
}

// The effect's kind, target and arguments against the row.
void expectRow(Effect* effect, const Row& row) {
    EXPECT_EQ(effect->layer, row.layer);
    if (row.kind == Move || row.kind == Scale) {
        Vec2Effect* v = row.kind == Move ? static_cast<Vec2Effect*>(dynamic_cast<MoveEffect*>(effect))
                                         : static_cast<Vec2Effect*>(dynamic_cast<ScaleEffect*>(effect));
        ASSERT_NE(v, nullptr) << "wrong kind";
        EXPECT_EQ(v->target, row.what);
        expectVec2(v->from, row.a, row.b, "from");
        expectVec2(v->from + v->delta, row.c, row.d, "to");
    } else if (row.kind == FadeIn || row.kind == FadeOut) {
        FadeEffect* fade = dynamic_cast<FadeEffect*>(effect);
        ASSERT_NE(fade, nullptr) << "wrong kind";
        EXPECT_EQ(fade->target, row.what);
        const float from = row.kind == FadeIn ? 0 : 1, delta = row.kind == FadeIn ? 1 : -1;
        EXPECT_TRUE((fade->from == Color{from, from, from, from}));
        EXPECT_TRUE((fade->delta == Color{delta, delta, delta, delta}));
    } else if (row.kind == Swim) {
        SwimEffect* swim = dynamic_cast<SwimEffect*>(effect);
        ASSERT_NE(swim, nullptr) << "wrong kind";
        EXPECT_EQ(swim->target, row.what);
    } else if (row.kind == Path) {
        PathEffect* path = dynamic_cast<PathEffect*>(effect);
        ASSERT_NE(path, nullptr) << "wrong kind";
        EXPECT_EQ(path->target, row.what);
        ASSERT_EQ(path->points.size(), 13u);
        for (int i = 0; i < 13; ++i) expectVec2(path->points[i], fishPath[i][0], fishPath[i][1], "path point");
        EXPECT_TRUE(path->callback == &faceDirection);
    } else if (row.kind == Bubbles) {
        BubbleEffect* bubbles = dynamic_cast<BubbleEffect*>(effect);
        ASSERT_NE(bubbles, nullptr) << "wrong kind";
        expectVec2(bubbles->origin, row.a, row.b, "origin");
        EXPECT_EQ(bubbles->bubbles.size(), static_cast<size_t>(row.c));
    } else if (row.kind == Blood) {
        BloodEffect* blood = dynamic_cast<BloodEffect*>(effect);
        ASSERT_NE(blood, nullptr) << "wrong kind";
        EXPECT_EQ(blood->fadeStart, row.a);
    } else {
        CallEffect* call = dynamic_cast<CallEffect*>(effect);
        ASSERT_NE(call, nullptr) << "wrong kind";
        EXPECT_FALSE(call->fired);
        // Samples play on channel 1; the mute cues act on the music's channel 0.
        if (row.kind == Play)
            EXPECT_TRUE(call->action == boost::bind(&FSOUND_Stream_Play, 1, *(FSOUND_STREAM**)row.what));
        else
            EXPECT_TRUE(call->action == boost::bind(&FSOUND_SetMute, 0, static_cast<signed char>(row.kind == Mute)));
    }
}

class GlShowScript : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!vesk_test::useGlTestContext(&whyNot)) return;
        boxes.reset(new vesk_test::ErrorBoxRecorder);
        setSoundOutput(SoundOutput::Manual);
        FSOUND_Init(44100, 8, 0);
        setupScene();
    }
    static void TearDownTestSuite() {
        boxes.reset();
        FSOUND_Close();
    }
    void SetUp() override { ASSERT_TRUE(whyNot.empty()) << "no GL test context: " << whyNot; }
    static std::string whyNot;
    static std::unique_ptr<vesk_test::ErrorBoxRecorder> boxes;
};
std::string GlShowScript::whyNot;
std::unique_ptr<vesk_test::ErrorBoxRecorder> GlShowScript::boxes;

TEST_F(GlShowScript, TheAssetPhaseLoadsEverySpriteWithoutAnErrorBox) {
    EXPECT_TRUE(boxes->texts().empty()) << boxes->texts().front();
    std::set<FSOUND_STREAM*> samples = {spinefinSample, juiceSample, tolvaneSample, carcrashSample};
    EXPECT_EQ(samples.size(), 4u);  // four distinct streams
    EXPECT_EQ(samples.count(nullptr), 0u);
    struct Expected {
        Sprite* sprite;
        QuadRect rect;
        Vec2 scale, position;
    } const sprites[] = {
        {tank, {-1, -1, 1, 1}, {1, 1}, {0, 0}},
        {fish, {-0.1f, -0.1f, 0.1f, 0.1f}, {4.5f, 3}, {0, 0}},
        {open, {-0.1f, -0.1f, 0.1f, 0.1f}, {4.5f, 3}, {0, 0}},
        {tolvane, {-0.75f, -3, 0.75f, 3}, {1, 1}, {0, 0}},
        {title, {-1, -0.25f, 1, 0.25f}, {1, 1}, {0, 0}},
        {credit, {-0.2f, -0.05f, 0.2f, 0.05f}, {1, 1}, {0.7f, -0.2f}},
        {outro, {0, 0, 1, 1}, {1, 1}, {0, 0}},
        {outro2, {0, -0.5f, 1, -0.25f}, {1, 1}, {0, 0}},
    };
    std::set<Texture2D*> textures;
    for (const Expected& e : sprites) {
        const Sprite& s = *e.sprite;
        SCOPED_TRACE(&s - &fishtankSprite);
        const QuadRect& r = s.rect;
        EXPECT_EQ((std::vector<float>{r.x0, r.y0, r.x1, r.y1}),
                  (std::vector<float>{e.rect.x0, e.rect.y0, e.rect.x1, e.rect.y1}));
        EXPECT_TRUE(s.scale == e.scale && s.position == e.position && s.rotation == 0);
        EXPECT_TRUE((s.color == Color{1, 1, 1, 1}));
        ASSERT_TRUE(s.texture);
        EXPECT_EQ(s.texture.use_count(), 1);  // each sprite owns its texture alone
        textures.insert(s.texture.get());
    }
    EXPECT_EQ(textures.size(), 8u);
}

TEST_F(GlShowScript, TheTimelineHoldsEveryRowInScriptOrder) {
    const size_t rows = sizeof script / sizeof script[0];
    ASSERT_EQ(rows, 41u);
    // Each row's start and stop, by time and, among equal times, in the
    // order the script adds them.
    std::vector<std::pair<float, int>> expected;  // time, row + 1 (negated for stops)
    for (size_t i = 0; i < rows; ++i) {
        expected.emplace_back(script[i].start, int(i) + 1);
        expected.emplace_back(script[i].end - 0.0001f, -int(i) - 1);
    }
    std::stable_sort(expected.begin(), expected.end(),
                     [](const std::pair<float, int>& x, const std::pair<float, int>& y) { return x.first < y.first; });
    ASSERT_EQ(timeline.scheduledEvents().size(), expected.size());
    std::map<int, Effect*> effectOfRow;
    auto want = expected.begin();
    for (const TimelineEvent& event : timeline.scheduledEvents()) {
        const int row = std::abs(want->second) - 1;
        SCOPED_TRACE("row " + std::to_string(row + 1) + (want->second > 0 ? " start" : " stop"));
        EXPECT_EQ(event.time, want->first);
        EXPECT_EQ(event.isStart, want->second > 0);
        if (event.isStart) {
            EXPECT_TRUE(effectOfRow.emplace(row, event.effect).second);
            expectRow(event.effect, script[row]);
        } else {
            EXPECT_EQ(event.effect, effectOfRow[row]) << "stop of another row's effect";
        }
        ++want;
    }
    std::set<Effect*> distinct;
    for (const auto& entry : effectOfRow) distinct.insert(entry.second);
    EXPECT_EQ(distinct.size(), 41u);
}

// Stands for an effect the timeline still holds at exit (a show closed
// early): its deletion must find the bubble texture still there.
bool bubbleTextureReleased = false;
struct TextureWatcher : Effect {
    ~TextureWatcher() override {
        if (!bubbleTextureReleased) return;
        std::fputs("the bubble texture went before the timeline's effects\n", stderr);
        std::_Exit(1);
    }
    void schedule(float, float) override {}
    void update(float) override {}
    void draw() override {}
};

TEST(SceneGlobals, TheBubbleTextureIsDestroyedAfterTheTimelineAtExit) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process, no GL
    EXPECT_EXIT(
        {
            bubbleTexture.reset(static_cast<Texture2D*>(nullptr), [](Texture2D*) { bubbleTextureReleased = true; });
            timeline.add(0, 0, 1, new TextureWatcher);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
