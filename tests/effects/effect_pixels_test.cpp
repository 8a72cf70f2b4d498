// The effects that load textures and draw sprites of their own, read back
// from a real GL context (100 x 100 pixels for the view -1..1 on both axes).
#include "effects/blood_effect.h"
#include "effects/bubble_effect.h"
#include "effects/move_effect.h"
#include "platform/random.h"
#include "support/error_box_recorder.h"
#include "support/gl_test_context.h"
#include "support/test_textures.h"

#include <boost/weak_ptr.hpp>
#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace vesk_test;

const Rgba K{0, 0, 0, 255}, White{255, 255, 255, 255};

boost::shared_ptr<Texture2D> white() { return loadTestTexture("white.png", 2, 2, std::vector<Rgba>(4, White)); }

class GlEffects : public ::testing::Test {
protected:
    void SetUp() override {
        VESK_REQUIRE_GL();
        bubbleTexture.reset();
        clearFrame(0, 0, 0);
    }
    void TearDown() override { bubbleTexture.reset(); }  // while the context is there
    ErrorBoxRecorder boxes;
};

TEST_F(GlEffects, ASpriteEffectDrawsItsTargetWhereUpdatePutIt) {
    Sprite sprite;
    sprite.texture = white();
    MoveEffect move(&sprite, Vec2{0, 0}, Vec2{0.8f, 0});
    move.schedule(0, 1);
    move.update(0.5f);
    move.draw();
    const Frame frame;  // the default 0.2 x 0.2 quad, now centred on (0.4, 0)
    EXPECT_TRUE(rgbaNear(frame.atView(0.35f, 0.05f), White));
    EXPECT_TRUE(frame.atView(0.4f, 0.15f) == K && frame.atView(0, 0) == K);
}

TEST_F(GlEffects, BloodRisesWithABobOfTheAbsoluteTimeThenFadesInPlace) {
    BloodEffect* blood = new BloodEffect(50);
    blood->schedule(42.3f, 52);
    EXPECT_EQ(static_cast<FileTexture2D*>(blood->texture.get())->fileName, "data/blood.png");
    // Top edges on the bottom of the view plus |0.2 sin(now * 1.7)| and
    // |0.2 sin(now * 2.7)|, the sines taken in double.
    blood->update(42.3f);
    EXPECT_FLOAT_EQ(blood->drops[0].position.y, -0.932053506f);
    EXPECT_FLOAT_EQ(blood->drops[1].position.y, -0.820624113f);
    blood->update(50);  // at the fade start exactly, still the rise: 3 up
    EXPECT_FLOAT_EQ(blood->drops[0].position.y, 2.03521514f);
    EXPECT_FLOAT_EQ(blood->drops[1].position.y, 2.01767373f);
    for (float now : {50.0f, 50.01f, 51.0f, 51.9999f}) {
        blood->update(now);
        EXPECT_NEAR(blood->drops[0].color.a, 0.4f * (1 - (now - 50) / 2), 1e-6) << now;
        EXPECT_EQ(blood->drops[1].color.a, blood->drops[0].color.a);
        EXPECT_FLOAT_EQ(blood->drops[0].position.y, 2.03521514f);
    }
    boost::weak_ptr<Texture2D> texture = blood->texture;
    delete blood;
    EXPECT_TRUE(texture.expired());
    BloodEffect noFade(52);
    noFade.schedule(42.3f, 52);
    noFade.update(52.5f);
    EXPECT_EQ(noFade.drops[0].color.a, 0.0f);  // transparent after a fade of no length
    EXPECT_TRUE(boxes.texts().empty());
}

TEST_F(GlEffects, BloodCoversTheViewFromTheBottomUp) {
    BloodEffect blood(3);
    blood.schedule(0, 5);
    blood.texture = white();  // each strip then adds 0.4 of the way to white
    for (Sprite& drop : blood.drops) drop.texture = blood.texture;
    const Rgba one{102, 102, 102, 255}, two{163, 163, 163, 255};
    // A third of the rise: top edges at |0.2 sin 1.7| = 0.198 and |0.2 sin 2.7| = 0.085.
    for (float now : {1.0f, 3.0f, 4.999f}) {
        clearFrame(0, 0, 0);
        blood.update(now);
        blood.draw();
        const Frame frame;
        for (float x : {-0.95f, 0.0f, 0.95f}) {
            EXPECT_TRUE(rgbaNear(frame.atView(x, -0.95f), now < 4 ? two : K)) << x << " " << now;
            EXPECT_TRUE(rgbaNear(frame.atView(x, 0.15f), now < 2 ? one : now < 4 ? two : K)) << x << " " << now;
            EXPECT_TRUE(rgbaNear(frame.atView(x, 0.95f), now > 2 && now < 4 ? two : K)) << x << " " << now;
        }
    }
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
        EXPECT_TRUE(std::fabs(b.base.x - origin.x) <= 0.01f + 1e-6f && std::fabs(b.base.y - origin.y) <= 0.01f + 1e-6f);
        EXPECT_EQ(b.sprite.scale.x, b.sprite.scale.y);
        smallest = std::min(smallest, b.sprite.scale.x);
        largest = std::max(largest, b.sprite.scale.x);
        EXPECT_EQ(b.spreadSpeed > 0, b.base.x > origin.x);  // fanning out from the origin
        fastest = std::max(fastest, std::fabs(b.spreadSpeed));
        // Over the 3 s span it climbs 0.75, to the top edge, plus up to 0.3.
        EXPECT_TRUE(b.velocity.y >= 0.75f / 3 && b.velocity.y <= 1.05f / 3 + 1e-6f) << b.velocity.y;
        EXPECT_TRUE(b.frequency >= 3 && b.frequency <= 6) << b.frequency;
    }
    EXPECT_TRUE(smallest >= 0.1f && smallest < 0.15f && largest <= 1.5f && largest > 1.45f) << smallest << largest;
    EXPECT_TRUE(fastest <= 0.5f + 1e-5f && fastest > 0.45f) << fastest;
    effect.schedule(5, 5);  // no span: no climb
    EXPECT_EQ(effect.bubbles[0].velocity.y, 0.0f);
    EXPECT_TRUE(boxes.texts().empty());
}

TEST_F(GlEffects, BubblesDrawTheirSpritesInIndexOrder) {
    bubbleTexture = white();
    BubbleEffect effect(Vec2{0.5f, 0.5f}, 2);
    effect.schedule(0, 2);
    for (int i = 0; i < 2; ++i) {
        effect.bubbles[i].sprite.scale = Vec2{1, 1};
        effect.bubbles[i].sprite.color = Color{float(1 - i), 0, float(i), 1};  // red, then blue
    }
    effect.draw();
    EXPECT_TRUE(rgbaNear(Frame().atView(0.5f, 0.5f), Rgba{0, 0, 255, 255}));  // the later one on top
}

}  // namespace
