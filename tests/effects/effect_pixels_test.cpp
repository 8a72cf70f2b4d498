// What each drawing effect kind puts on the screen, read back from a real
// GL context (100 x 100 pixels for the view -1..1 on both axes).
#include "effects/blood_effect.h"
#include "effects/bubble_effect.h"
#include "effects/call_effect.h"
#include "effects/gl_effect_test.h"
#include "effects/move_effect.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using vesk_test::Frame;
using vesk_test::Rgba;
using vesk_test::clearFrame;
using vesk_test::rgbaNear;

const Rgba black{0, 0, 0, 255};
const Rgba opaqueWhite{255, 255, 255, 255};

// The GL state an effect's draw must leave as it found it. (Texturing is
// not part of it: a sprite's draw leaves GL_TEXTURE_2D disabled.)
struct GlState {
    std::array<GLfloat, 16> modelview{};
    GLint stackDepth = 0;
    GLint matrixMode = 0;
    GLboolean blend = GL_FALSE;

    static GlState read() {
        GlState state;
        glGetFloatv(GL_MODELVIEW_MATRIX, state.modelview.data());
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &state.stackDepth);
        glGetIntegerv(GL_MATRIX_MODE, &state.matrixMode);
        state.blend = glIsEnabled(GL_BLEND);
        return state;
    }
    bool operator==(const GlState& other) const {
        return modelview == other.modelview && stackDepth == other.stackDepth && matrixMode == other.matrixMode &&
               blend == other.blend;
    }
};

using EffectPixels = GlEffectTest;

TEST_F(EffectPixels, ASpriteEffectDrawsItsTargetWhereUpdatePutIt) {
    Sprite sprite;
    sprite.texture = solidTexture("red", Rgba{255, 0, 0, 255});
    MoveEffect move(&sprite, Vec2{0, 0}, Vec2{0.8f, 0});
    move.schedule(0, 1);
    move.update(0.5f);
    clearFrame(0, 0, 0);
    const GlState before = GlState::read();
    move.draw();
    EXPECT_TRUE(GlState::read() == before);

    const Frame frame;
    // The default 0.2 x 0.2 quad, now centred on (0.4, 0).
    EXPECT_TRUE(rgbaNear(frame.atView(0.4f, 0), Rgba{255, 0, 0, 255}));
    EXPECT_TRUE(rgbaNear(frame.atView(0.35f, 0.05f), Rgba{255, 0, 0, 255}));
    EXPECT_TRUE(rgbaNear(frame.atView(0, 0), black));
    EXPECT_TRUE(rgbaNear(frame.atView(0.4f, 0.2f), black));
    EXPECT_TRUE(rgbaNear(frame.atView(0.6f, 0), black));
}

TEST_F(EffectPixels, BloodCoversTheBottomOfTheView) {
    BloodEffect blood(3);
    blood.schedule(0, 5);
    EXPECT_TRUE(boxes().empty());
    // A plain white stand-in for the artwork: each strip then adds 0.4 of
    // the way to white.
    blood.texture = solidTexture("white", opaqueWhite);
    for (Sprite& drop : blood.drops) drop.texture = blood.texture;

    // A third of the rise: the top edges at |0.2 sin 1.7| = 0.198 (drop 0)
    // and |0.2 sin 2.7| = 0.085 (drop 1).
    blood.update(1);
    clearFrame(0, 0, 0);
    const GlState before = GlState::read();
    blood.draw();
    EXPECT_TRUE(GlState::read() == before);
    {
        const Frame frame;
        const Rgba oneStrip{102, 102, 102, 255};
        const Rgba twoStrips{163, 163, 163, 255};
        for (float x : {-0.95f, 0.0f, 0.95f}) {
            EXPECT_TRUE(rgbaNear(frame.atView(x, -0.95f), twoStrips)) << "x " << x;
            EXPECT_TRUE(rgbaNear(frame.atView(x, 0.0f), twoStrips)) << "x " << x;
            EXPECT_TRUE(rgbaNear(frame.atView(x, 0.15f), oneStrip)) << "x " << x;
            EXPECT_TRUE(rgbaNear(frame.atView(x, 0.3f), black)) << "x " << x;
            EXPECT_TRUE(rgbaNear(frame.atView(x, 0.95f), black)) << "x " << x;
        }
    }

    // Fully risen, the whole view is covered; at the very end of the fade
    // nearly nothing is left.
    blood.update(3);
    clearFrame(0, 0, 0);
    blood.draw();
    {
        const Frame frame;
        EXPECT_TRUE(rgbaNear(frame.atView(0, 0.95f), Rgba{163, 163, 163, 255}));
        EXPECT_TRUE(rgbaNear(frame.atView(-0.95f, 0.95f), Rgba{163, 163, 163, 255}));
    }
    blood.update(4.999f);
    clearFrame(0, 0, 0);
    blood.draw();
    {
        const Frame frame;
        EXPECT_TRUE(rgbaNear(frame.atView(0, 0), black));
    }
}

TEST_F(EffectPixels, BubblesDrawTheirSpritesInIndexOrder) {
    bubbleTexture = solidTexture("white", opaqueWhite);
    BubbleEffect effect(Vec2{0, 0}, 3);
    effect.schedule(0, 2);
    // Bubbles 0 and 1 overlap at (0.5, 0.5); bubble 2 stands alone.
    const Vec2 places[] = {{0.5f, 0.5f}, {0.5f, 0.5f}, {-0.5f, -0.5f}};
    const Color colours[] = {{1, 0, 0, 1}, {0, 0, 1, 1}, {0, 1, 0, 1}};
    for (int i = 0; i < 3; ++i) {
        effect.bubbles[i].sprite.position = places[i];
        effect.bubbles[i].sprite.scale = Vec2{1, 1};
        effect.bubbles[i].sprite.color = colours[i];
    }
    clearFrame(0, 0, 0);
    const GlState before = GlState::read();
    effect.draw();
    EXPECT_TRUE(GlState::read() == before);
    const Frame frame;
    EXPECT_TRUE(rgbaNear(frame.atView(0.5f, 0.5f), Rgba{0, 0, 255, 255}));  // the later one on top
    EXPECT_TRUE(rgbaNear(frame.atView(-0.5f, -0.5f), Rgba{0, 255, 0, 255}));
    EXPECT_TRUE(rgbaNear(frame.atView(0, 0), black));
    bubbleTexture.reset();
}

TEST_F(EffectPixels, BubblesAreDrawnWhereTheirStepPutThem) {
    bubbleTexture = solidTexture("white", opaqueWhite);
    BubbleEffect effect(Vec2{-0.5f, -0.5f}, 1);
    effect.schedule(0, 2);
    effect.bubbles[0].sprite.scale = Vec2{0.5f, 0.5f};  // 0.1 wide: 5 pixels
    effect.update(1);
    const Vec2 at = effect.bubbles[0].sprite.position;
    ASSERT_GT(at.y, 0.0f);  // it has climbed from -0.5 past the centre
    clearFrame(0, 0, 0);
    effect.draw();
    const Frame frame;
    EXPECT_TRUE(rgbaNear(frame.atView(at.x, at.y), opaqueWhite));
    EXPECT_TRUE(rgbaNear(frame.atView(-0.5f, -0.5f), black));
    bubbleTexture.reset();
}

TEST_F(EffectPixels, ACallEffectDrawsNothingAndLeavesTheGlStateAlone) {
    int calls = 0;
    CallEffect cue([&calls] { ++calls; });
    clearFrame(0.25f, 0.5f, 0.75f);
    glTranslatef(0.1f, 0.2f, 0);
    glColor4f(0.3f, 0.6f, 0.9f, 1);
    glEnable(GL_TEXTURE_2D);
    const GlState before = GlState::read();
    cue.update(0);
    cue.draw();
    cue.update(0.1f);
    cue.draw();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(GlState::read() == before);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 0.3f);
    EXPECT_FLOAT_EQ(colour[2], 0.9f);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    glDisable(GL_TEXTURE_2D);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const Frame frame;
    for (const Rgba& pixel : frame.pixels()) ASSERT_TRUE(rgbaNear(pixel, Rgba{64, 128, 191, 255}));
}

}  // namespace
