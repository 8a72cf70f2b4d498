// Bubbles: their random start states, their stepping, and the one texture
// they all share.
#include "effects/bubble_effect.h"
#include "effects/gl_effect_test.h"
#include "platform/random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

TEST(Bubble, StepMovesTheBaseWobblesAndSlowsDown) {
    Bubble bubble;
    bubble.base = Vec2{0, 0};
    bubble.velocity = Vec2{0.2f, 0.5f};
    bubble.spreadSpeed = 0.2f;
    bubble.frequency = 4;

    bubble.step(0.5f, 0.1f);
    EXPECT_NEAR(bubble.base.x, 0.02f, 1e-7);
    EXPECT_NEAR(bubble.base.y, 0.05f, 1e-7);
    // base + (0.05 sin 2, 0.03 sin 3)
    EXPECT_NEAR(bubble.sprite.position.x, 0.0654648713f, 1e-7);
    EXPECT_NEAR(bubble.sprite.position.y, 0.0542336002f, 1e-7);
    // (2 - 0.5) * 0.2 / 2
    EXPECT_NEAR(bubble.velocity.x, 0.15f, 1e-7);
    EXPECT_EQ(bubble.velocity.y, 0.5f);

    // From 2 s on the horizontal speed keeps its last value.
    bubble.step(2.5f, 0.1f);
    EXPECT_NEAR(bubble.base.x, 0.035f, 1e-7);
    EXPECT_NEAR(bubble.base.y, 0.1f, 1e-7);
    EXPECT_NEAR(bubble.sprite.position.x, 0.00779894446f, 1e-7);
    EXPECT_NEAR(bubble.sprite.position.y, 0.119508635f, 1e-7);
    EXPECT_NEAR(bubble.velocity.x, 0.15f, 1e-7);
    bubble.step(2, 0);
    EXPECT_NEAR(bubble.velocity.x, 0.15f, 1e-7);
}

TEST(Bubble, WithoutSpreadItOnlyWobblesSideways) {
    Bubble bubble;
    bubble.base = Vec2{0.15f, 0.15f};
    bubble.velocity = Vec2{0, 0.3f};
    bubble.frequency = 3;
    for (int i = 1; i <= 300; ++i) {
        bubble.step(i * 0.01f, 0.01f);
        EXPECT_EQ(bubble.base.x, 0.15f);
        EXPECT_LE(std::fabs(bubble.sprite.position.x - 0.15f), 0.05f + 1e-6);
    }
    EXPECT_EQ(bubble.velocity.x, 0.0f);
}

// Update alone needs no texture: the start states are set by hand here.
class BubbleStepping : public ::testing::Test {
protected:
    BubbleStepping() : effect(Vec2{0.15f, 0.15f}, 2) {
        effect.start = 23;
        for (Bubble& bubble : effect.bubbles) {
            bubble.base = bubble.sprite.position = Vec2{0.155f, 0.15f};
            bubble.spreadSpeed = 0.25f;
            bubble.velocity = Vec2{0.25f, 0.3f};
            bubble.frequency = 4;
        }
        effect.bubbles[1].frequency = 6;
    }

    BubbleEffect effect;
};

TEST_F(BubbleStepping, NothingMovesBeforeAHundredthOfASecondHasPassed) {
    effect.update(23);
    effect.update(23.005f);
    EXPECT_EQ(effect.lastStep, 0.0f);
    for (const Bubble& bubble : effect.bubbles) {
        EXPECT_EQ(bubble.sprite.position, (Vec2{0.155f, 0.15f}));
        EXPECT_EQ(bubble.velocity.x, 0.25f);
    }
    effect.update(23.02f);
    EXPECT_NEAR(effect.lastStep, 0.02f, 1e-5);
    // The first step moves with the full spread speed.
    const float dt = effect.lastStep;
    EXPECT_NEAR(effect.bubbles[0].base.x, 0.155f + 0.25f * dt, 1e-6);
    EXPECT_NEAR(effect.bubbles[0].base.y, 0.15f + 0.3f * dt, 1e-6);
    // Both bubbles took the same step; only their wobble differs.
    EXPECT_EQ(effect.bubbles[0].base, effect.bubbles[1].base);
    EXPECT_FALSE(effect.bubbles[0].sprite.position == effect.bubbles[1].sprite.position);
}

TEST_F(BubbleStepping, FramesCloserThanAHundredthLeaveEveryBubbleWhereItIs) {
    effect.update(23.1f);
    const Vec2 first = effect.bubbles[1].sprite.position;
    const float lastStep = effect.lastStep;
    effect.update(23.104f);
    effect.update(23.109f);
    EXPECT_EQ(effect.lastStep, lastStep);
    EXPECT_EQ(effect.bubbles[1].sprite.position, first);
    effect.update(23.111f);
    EXPECT_FALSE(effect.bubbles[1].sprite.position == first);
}

TEST_F(BubbleStepping, TheHorizontalSpeedStopsChangingAtTwoSeconds) {
    float previous = effect.bubbles[0].velocity.x;
    for (int ms = 15; ms < 4000; ms += 15) {
        const float now = 23 + ms * 0.001f;
        effect.update(now);
        const float speed = effect.bubbles[0].velocity.x;
        if (effect.lastStep < 2) {
            EXPECT_LT(speed, previous) << "at " << ms << " ms";
        } else if (effect.lastStep > 2.02f) {
            EXPECT_EQ(speed, previous) << "at " << ms << " ms";
        }
        previous = speed;
    }
    // What is left is a small remainder of the same sign.
    EXPECT_GT(previous, 0.0f);
    EXPECT_LT(previous, 0.25f * 0.01f);
    // Over the two seconds the bubble drifted sideways by about the spread
    // speed (the area under the falling speed).
    EXPECT_NEAR(effect.bubbles[0].base.x - 0.155f, 0.25f + previous * 2, 0.01f);
}

// Schedule loads the shared texture, so these need a GL context.
class BubbleSchedule : public GlEffectTest {
protected:
    void SetUp() override {
        GlEffectTest::SetUp();
        if (IsSkipped()) return;
        bubbleTexture.reset();
        seedRandom(2024);
    }
    void TearDown() override {
        bubbleTexture.reset();  // while the GL context is still there
        GlEffectTest::TearDown();
    }

    // The next `count` draws of the generator as r in [0, 1], computed apart
    // from the effect.
    static std::vector<double> draws(unsigned seed, int count) {
        seedRandom(seed);
        std::vector<double> r;
        for (int i = 0; i < count; ++i) r.push_back(randomInt() / 32767.0);
        seedRandom(seed);
        return r;
    }
};

TEST_F(BubbleSchedule, StartStatesComeFromFiveDrawsPerBubbleInOrder) {
    const std::vector<double> r = draws(77, 3 * 5);
    BubbleEffect effect(Vec2{0.15f, 0.15f}, 3);
    effect.schedule(23, 26);
    EXPECT_EQ(effect.start, 23.0f);
    EXPECT_EQ(effect.lastStep, 0.0f);
    ASSERT_EQ(effect.bubbles.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const Bubble& bubble = effect.bubbles[i];
        const double* d = &r[5 * i];
        EXPECT_NEAR(bubble.sprite.position.x, 0.15 + d[0] * 0.02 - 0.01, 1e-6) << "bubble " << i;
        EXPECT_NEAR(bubble.sprite.position.y, 0.15 + d[1] * 0.02 - 0.01, 1e-6);
        EXPECT_EQ(bubble.base, bubble.sprite.position);
        EXPECT_NEAR(bubble.sprite.scale.x, d[2] * 1.4 + 0.1, 1e-6);
        EXPECT_EQ(bubble.sprite.scale.y, bubble.sprite.scale.x);
        EXPECT_NEAR(bubble.spreadSpeed, (d[0] * 0.02 - 0.01) * 50, 1e-4);
        EXPECT_EQ(bubble.velocity.x, bubble.spreadSpeed);
        // Over the 3 s span it climbs 0.85 plus up to 0.3.
        EXPECT_NEAR(bubble.velocity.y, (d[3] * 0.3 + 0.85) / 3, 1e-6);
        EXPECT_NEAR(bubble.frequency, (d[4] + 1) * 3, 1e-5);
    }
    // Nothing else was drawn.
    seedRandom(77);
    for (int i = 0; i < 15; ++i) randomInt();
    const int next = randomInt();
    effect.schedule(23, 26);
    seedRandom(77);
    for (int i = 0; i < 15; ++i) randomInt();
    EXPECT_EQ(randomInt(), next);
}

TEST_F(BubbleSchedule, StartStatesStayInTheirRanges) {
    const Vec2 origin{-0.15f, 0.25f};
    BubbleEffect effect(origin, 500);
    effect.schedule(31, 34);
    for (const Bubble& bubble : effect.bubbles) {
        EXPECT_LE(std::fabs(bubble.sprite.position.x - origin.x), 0.01f + 1e-6);
        EXPECT_LE(std::fabs(bubble.sprite.position.y - origin.y), 0.01f + 1e-6);
        EXPECT_EQ(bubble.sprite.scale.x, bubble.sprite.scale.y);
        EXPECT_GE(bubble.sprite.scale.x, 0.1f);
        EXPECT_LE(bubble.sprite.scale.x, 1.5f);
        EXPECT_GE(bubble.frequency, 3.0f);
        EXPECT_LE(bubble.frequency, 6.0f);
        EXPECT_LE(std::fabs(bubble.spreadSpeed), 0.5f + 1e-5);
        // Moving right exactly when born right of the origin.
        EXPECT_EQ(bubble.spreadSpeed > 0, bubble.sprite.position.x > origin.x);
        EXPECT_GE(bubble.velocity.y, 0.75f / 3);
        EXPECT_LE(bubble.velocity.y, 1.05f / 3 + 1e-6);
        EXPECT_EQ(bubble.sprite.texture, bubbleTexture);
        EXPECT_EQ(bubble.sprite.color, (Color{1, 1, 1, 1}));
        EXPECT_EQ(bubble.sprite.rect.x0, -0.1f);
        EXPECT_EQ(bubble.sprite.rect.y1, 0.1f);
    }
}

TEST_F(BubbleSchedule, TheImageIsReadOnceForAllBubbleEffects) {
    BubbleEffect first(Vec2{0.15f, 0.15f}, 3);
    first.schedule(23, 26);
    EXPECT_TRUE(boxes().empty());
    ASSERT_TRUE(bubbleTexture);
    const FileTexture2D* file = dynamic_cast<const FileTexture2D*>(bubbleTexture.get());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->fileName, "data/bubble.png");
    Texture2D* const loaded = bubbleTexture.get();

    BubbleEffect second(Vec2{-0.15f, 0.25f}, 7);
    second.schedule(31, 34);
    EXPECT_EQ(bubbleTexture.get(), loaded);
    for (const Bubble& bubble : second.bubbles) EXPECT_EQ(bubble.sprite.texture.get(), loaded);
    EXPECT_EQ(bubbleTexture.use_count(), 1 + 3 + 7);
}

TEST_F(BubbleSchedule, TheTextureOutlivesTheEffects) {
    BubbleEffect* effect = new BubbleEffect(Vec2{0, 0}, 4);
    effect->schedule(0, 1);
    delete effect;
    ASSERT_TRUE(bubbleTexture);
    EXPECT_EQ(bubbleTexture.use_count(), 1);
}

TEST_F(BubbleSchedule, AFailedLoadStillCountsAsLoaded) {
    boost::shared_ptr<Texture2D> stand_in(new FileTexture2D("no/such/bubble.png"));
    bubbleTexture = stand_in;
    BubbleEffect effect(Vec2{0, 0}, 1);
    effect.schedule(0, 1);
    EXPECT_EQ(bubbleTexture, stand_in);
    EXPECT_EQ(effect.bubbles[0].sprite.texture, stand_in);
}

TEST_F(BubbleSchedule, NoBubblesStillLoadTheTextureAndDrawNothing) {
    BubbleEffect effect(Vec2{0.15f, 0.15f}, 0);
    effect.schedule(23, 26);
    EXPECT_TRUE(bubbleTexture);
    // No draw was taken.
    const std::vector<double> r = draws(2024, 1);
    EXPECT_EQ(randomInt() / 32767.0, r[0]);

    effect.update(23.5f);
    EXPECT_NEAR(effect.lastStep, 0.5f, 1e-6);
    vesk_test::clearFrame(0, 0, 0.5f);
    effect.draw();
    const vesk_test::Frame frame;
    for (const vesk_test::Rgba& pixel : frame.pixels()) ASSERT_TRUE(vesk_test::rgbaNear(pixel, {0, 0, 128, 255}));
}

TEST_F(BubbleSchedule, ASpanWithoutLengthGivesNoClimbButTheSameDraws) {
    BubbleEffect degenerate(Vec2{0.15f, 0.15f}, 2);
    degenerate.schedule(5, 5);
    seedRandom(2024);
    BubbleEffect normal(Vec2{0.15f, 0.15f}, 2);
    normal.schedule(5, 6);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(degenerate.bubbles[i].velocity.y, 0.0f);
        EXPECT_EQ(degenerate.bubbles[i].sprite.position, normal.bubbles[i].sprite.position);
        EXPECT_EQ(degenerate.bubbles[i].frequency, normal.bubbles[i].frequency);
    }
    degenerate.update(5.5f);
    EXPECT_TRUE(std::isfinite(degenerate.bubbles[0].sprite.position.y));
}

}  // namespace
