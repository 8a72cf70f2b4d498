// The filled timeline read back after the show's set-up, against the script
// written out once more by hand, and what the scene's globals do at exit.
#include "effects/blood_effect.h"
#include "effects/bubble_effect.h"
#include "effects/call_effect.h"
#include "effects/fade_effect.h"
#include "effects/move_effect.h"
#include "effects/path_effect.h"
#include "effects/scale_effect.h"
#include "effects/swim_effect.h"
#include "platform/sound/sound_output.h"
#include "scene/scene_globals.h"
#include "scene/setup_scene.h"
#include "support/error_box_recorder.h"
#include "support/gl_test_context.h"
#include "timeline/timeline.h"

#include <boost/bind/bind.hpp>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct Row {
    int layer;
    float start, end;
    const char* effect;  // as describe() puts it
};

// The show's script, in the order its rows are added.
const Row script[] = {
    {2, 0, 5, "fade title 0000>1111"}, {2, 5, 15, "move title 0,0>0,0"}, {2, 5, 15, "fade credit 0000>1111"},
    {2, 15, 20, "fade credit 1111>0000"}, {2, 15, 20, "fade title 1111>0000"}, {1, 15, 20, "fade tank 0000>1111"},
    {1, 20, 60, "move tank 0,0>0,0"}, {10, 20, 26, "path fish, facing its way"}, {11, 23, 26, "3 bubbles at 0.15,0.15"},
    {10, 26, 30, "swim fish"}, {10, 30, 31, "move fish 0,0>0,0"}, {1, 31, 31.15f, "play spinefin"},
    {10, 31, 31.15f, "move open 0,0>0,0"}, {10, 31.15f, 31.2f, "move fish 0,0>0,0"},
    {10, 31.2f, 31.4f, "move open 0,0>0,0"}, {10, 31.4f, 35, "move fish 0,0>0,0"},
    {10, 33, 33.2f, "scale fish 4.5,3>5,5"}, {10, 34, 34.2f, "scale fish 5,5>4.5,3"},
    {11, 31, 34, "7 bubbles at -0.15,0.25"}, {10, 35, 42.1f, "swim fish"},
    {10, 42.1f, 42.3f, "move fish 0,0>-0.2,-0.9"}, {10, 42.2f, 42.3f, "scale fish 4.5,3>8,1"},
    {10, 42.3f, 52, "move fish -0.2,-0.9>-0.2,-0.9"}, {1, 40.1f, 40.2f, "mute"}, {2, 40.1f, 40.2f, "play carcrash"},
    {1, 45.1f, 45.2f, "unmute"}, {15, 42.1f, 42.3f, "move tolvane 0,5>0,0.6"},
    {15, 42.3f, 52, "move tolvane 0,0.6>0,0.6"}, {1, 47, 47.1f, "play juice"}, {20, 42.3f, 52, "blood fading from 50"},
    {10, 50, 52, "fade fish 1111>0000"}, {1, 50, 52, "fade tank 1111>0000"}, {15, 52, 54, "move tolvane 0,0.6>-0.3,-2"},
    {15, 52, 54, "scale tolvane 1,1>0.8,0.8"}, {15, 54, 64, "move tolvane -0.3,-2>-0.3,-2"},
    {1, 54, 54.1f, "play tolvane"}, {16, 56, 58, "fade outro 0000>1111"}, {16, 57, 59, "fade outro2 0000>1111"},
    {15, 64, 68.5f, "fade tolvane 1111>0000"}, {16, 58, 68, "fade outro 1111>0000"},
    {16, 59, 68, "fade outro2 1111>0000"},
};

// The fish's way in, its first and last points doubled.
const std::vector<float> fishPath = {-2, 0, -2, 0, -1, 0.2f, -0.5f, -0.2f, -0.2f, 0.1f, -0.15f, 0.035f, -0.04f, -0.03f,
                                     0, 0.025f, 0.04f, -0.02f, -0.02f, 0.015f, 0.01f, -0.01f, 0, 0, 0, 0};

std::string text(float x) { char buffer[32]; return snprintf(buffer, sizeof buffer, "%g", x), buffer; }
std::string text(const Vec2& v) { return text(v.x) + "," + text(v.y); }
std::string text(const Color& c) { return text(c.r) + text(c.g) + text(c.b) + text(c.a); }

const std::pair<Sprite*, const char*> sprites[] = {
    {&fishtankSprite, "tank"}, {&spinefinSprite, "fish"}, {&spinefinOpenSprite, "open"}, {&tolvaneSprite, "tolvane"},
    {&titleSprite, "title"},   {&creditSprite, "credit"}, {&outroSprite, "outro"},        {&outro2Sprite, "outro2"}};

std::string name(const Sprite* sprite) {
    for (const auto& s : sprites) if (s.first == sprite) return s.second;
    return "?";
}

// What an effect does, in the words of the script table. Samples play on
// channel 1; the mute cues act on the music's channel 0.
std::string describe(Effect* e) {
    if (auto* v = dynamic_cast<Vec2Effect*>(e))
        return (dynamic_cast<MoveEffect*>(e) ? "move " : dynamic_cast<ScaleEffect*>(e) ? "scale " : "? ") +
               name(v->target) + " " + text(v->from) + ">" + text(v->from + v->delta);
    if (auto* f = dynamic_cast<FadeEffect*>(e)) {  // r, g, b and a
        const Color& c = f->from;
        return "fade " + name(f->target) + " " + text(c) + ">" + text(Color{c.r + f->delta.r, c.g + f->delta.g, c.b + f->delta.b, c.a + f->delta.a});
    }
    if (auto* s = dynamic_cast<SwimEffect*>(e)) return "swim " + name(s->target);
    if (auto* p = dynamic_cast<PathEffect*>(e)) {
        std::vector<float> points;
        for (const Vec2& v : p->points) points.insert(points.end(), {v.x, v.y});
        return "path " + name(p->target) + (points == fishPath ? ", " : ", other points, ") +
               (p->callback == &faceDirection ? "facing its way" : "?");
    }
    if (auto* b = dynamic_cast<BubbleEffect*>(e))
        return std::to_string(b->bubbles.size()) + " bubbles at " + text(b->origin);
    if (auto* b = dynamic_cast<BloodEffect*>(e)) return "blood fading from " + text(b->fadeStart);
    auto* call = dynamic_cast<CallEffect*>(e);
    if (!call || call->fired) return "?";
    const std::pair<FSOUND_STREAM*, const char*> samples[] = {
        {spinefinSample, "spinefin"}, {juiceSample, "juice"}, {tolvaneSample, "tolvane"}, {carcrashSample, "carcrash"}};
    for (const auto& s : samples)
        if (call->action == boost::bind(&FSOUND_Stream_Play, 1, s.first)) return std::string("play ") + s.second;
    if (call->action == boost::bind(&FSOUND_SetMute, 0, static_cast<signed char>(1))) return "mute";
    if (call->action == boost::bind(&FSOUND_SetMute, 0, static_cast<signed char>(0))) return "unmute";
    return "?";
}

TEST(GlShowScript, TheSetUpLoadsEveryAssetAndFillsTheTimelineRowByRow) {
    VESK_REQUIRE_GL();
    vesk_test::ErrorBoxRecorder boxes;
    setSoundOutput(SoundOutput::Manual), FSOUND_Init(44100, 8, 0), setupScene();
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{});

    // Each row's start and stop, by time and, among equal times, in the
    // order the script adds them.
    typedef std::pair<float, std::string> Event;
    std::vector<Event> expected, seen;
    for (const Row& row : script) {
        expected.emplace_back(row.start, "start " + std::to_string(row.layer) + " " + row.effect);
        expected.emplace_back(row.end - 0.0001f, "stop " + std::to_string(row.layer) + " " + row.effect);
    }
    std::stable_sort(expected.begin(), expected.end(), [](const Event& x, const Event& y) { return x.first < y.first; });
    for (const TimelineEvent& e : timeline.scheduledEvents())
        seen.emplace_back(e.time, (e.isStart ? "start " : "stop ") + std::to_string(e.effect->layer) + " " +
                                      describe(e.effect));
    EXPECT_EQ(seen, expected);

    std::string geometry;  // rect corners, scale and position, as the asset phase leaves them
    for (const auto& sprite : sprites) {
        const Sprite& s = *sprite.first;
        geometry += std::string(sprite.second) + " " + text(Vec2{s.rect.x0, s.rect.y0}) + " " +
                    text(Vec2{s.rect.x1, s.rect.y1}) + " " + text(s.scale) + " " + text(s.position) + "; ";
        EXPECT_TRUE((s.color == Color{1, 1, 1, 1}) && s.rotation == 0) << sprite.second;
        EXPECT_EQ(s.texture.use_count(), 1) << sprite.second;  // each sprite owns its texture alone
    }
    EXPECT_EQ(geometry,
              "tank -1,-1 1,1 1,1 0,0; fish -0.1,-0.1 0.1,0.1 4.5,3 0,0; open -0.1,-0.1 0.1,0.1 4.5,3 0,0; "
              "tolvane -0.75,-3 0.75,3 1,1 0,0; title -1,-0.25 1,0.25 1,1 0,0; credit -0.2,-0.05 0.2,0.05 1,1 0.7,-0.2; "
              "outro 0,0 1,1 1,1 0,0; outro2 0,-0.5 1,-0.25 1,1 0,0; ");
    FSOUND_Close();
}

// Stands for an effect the timeline still holds at exit (a show closed
// early): its deletion must find the bubble texture still there.
bool bubbleTextureReleased = false;
struct TextureWatcher : CallEffect {
    TextureWatcher() : CallEffect({}) {}
    ~TextureWatcher() override {
        if (!bubbleTextureReleased) return;
        std::fputs("the bubble texture went before the timeline's effects\n", stderr);
        std::_Exit(1);
    }
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
