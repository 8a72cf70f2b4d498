// The blood wash: its two strips, their rise with the absolute show time,
// their fade, and the texture they own.
#include "effects/blood_effect.h"
#include "effects/gl_effect_test.h"
#include "effects/move_effect.h"
#include "effects/timeline_driver.h"

#include <boost/weak_ptr.hpp>
#include <gtest/gtest.h>

#include <cmath>

namespace {

using BloodEffectTest = GlEffectTest;

TEST_F(BloodEffectTest, ScheduleLoadsTheImageAndSetsUpTwoStrips) {
    BloodEffect blood(50);
    EXPECT_EQ(blood.fadeStart, 50.0f);
    EXPECT_FALSE(blood.texture);
    blood.schedule(42.3f, 52);
    EXPECT_TRUE(boxes().empty()) << boxes().front();

    ASSERT_TRUE(blood.texture);
    const FileTexture2D* file = dynamic_cast<const FileTexture2D*>(blood.texture.get());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->fileName, "data/blood.png");
    GLint width = 0;
    glBindTexture(GL_TEXTURE_2D, blood.texture->id);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_GT(width, 0);

    EXPECT_EQ(blood.start, 42.3f);
    EXPECT_NEAR(blood.riseDuration, 7.7f, 1e-5);
    EXPECT_EQ(blood.end, 52.0f);
    for (const Sprite& drop : blood.drops) {
        EXPECT_EQ(drop.texture, blood.texture);
        EXPECT_EQ(drop.color, (Color{1, 1, 1, 0.4f}));
        EXPECT_EQ(drop.rect.x0, -1);
        EXPECT_EQ(drop.rect.y0, -4);
        EXPECT_EQ(drop.rect.x1, 1);
        EXPECT_EQ(drop.rect.y1, 0);
        EXPECT_EQ(drop.texCoords.s0, 0);
        EXPECT_EQ(drop.texCoords.t0, 0);
        EXPECT_EQ(drop.texCoords.s1, 1);
        EXPECT_EQ(drop.texCoords.t1, 1);
        EXPECT_EQ(drop.position.y, -1.0f);
        EXPECT_EQ(drop.rotation, 0);
    }
    // Drop 0: 2 wide, centred. Drop 1: 3 wide, 0.1 to the right.
    EXPECT_EQ(blood.drops[0].scale, (Vec2{1, 1}));
    EXPECT_EQ(blood.drops[0].position.x, 0.0f);
    EXPECT_EQ(blood.drops[1].scale, (Vec2{1.5f, 1}));
    EXPECT_EQ(blood.drops[1].position.x, 0.1f);
    EXPECT_EQ(blood.texture.use_count(), 3);
}

TEST_F(BloodEffectTest, RisesThreeUnitsWithABobFromTheAbsoluteTime) {
    BloodEffect blood(50);
    blood.schedule(42.3f, 52);
    // At the start the top edges are on the bottom of the view, plus the bob
    // |0.2 sin(42.3 * 1.7)| and |0.2 sin(42.3 * 2.7)|.
    blood.update(42.3f);
    EXPECT_NEAR(blood.drops[0].position.y, -0.93205377f, 1e-5);
    EXPECT_NEAR(blood.drops[1].position.y, -0.82062394f, 1e-5);
    // At fadeStart exactly the rise still applies: 2 plus the bob.
    blood.update(50);
    EXPECT_NEAR(blood.drops[0].position.y, 2.03521512f, 1e-5);
    EXPECT_NEAR(blood.drops[1].position.y, 2.01767374f, 1e-5);
    EXPECT_EQ(blood.drops[0].position.x, 0.0f);
    EXPECT_EQ(blood.drops[1].position.x, 0.1f);
    EXPECT_EQ(blood.drops[0].color.a, 0.4f);
    EXPECT_EQ(blood.drops[1].color.a, 0.4f);
}

TEST_F(BloodEffectTest, CoversTheWholeViewFromTwoThirdsOfTheRiseOn) {
    BloodEffect blood(50);
    blood.schedule(44, 52);
    for (float now = 48; now <= 50; now += 0.125f) {
        blood.update(now);
        for (const Sprite& drop : blood.drops) {
            EXPECT_GE(drop.position.y, 1.0f) << "top edge at " << now;
            EXPECT_LE(drop.position.y - 4, -1.0f) << "bottom edge at " << now;
        }
    }
    // Before that the top edge is below the top of the view.
    blood.update(46);
    EXPECT_LT(blood.drops[0].position.y, 1.0f);
}

TEST_F(BloodEffectTest, AfterFadeStartTheStripsStayAndFadeTogether) {
    BloodEffect blood(50);
    blood.schedule(42.3f, 52);
    blood.update(50);
    const float top0 = blood.drops[0].position.y;
    const float top1 = blood.drops[1].position.y;

    blood.update(50.01f);
    // 0.4 * (1 - 0.01 / 2)
    EXPECT_LT(blood.drops[0].color.a, 0.4f);
    EXPECT_NEAR(blood.drops[0].color.a, 0.398f, 1e-5);
    blood.update(51);
    EXPECT_NEAR(blood.drops[0].color.a, 0.2f, 1e-5);
    blood.update(51.9999f);
    EXPECT_NEAR(blood.drops[0].color.a, 0.0f, 1e-4);
    EXPECT_GT(blood.drops[0].color.a, 0.0f);
    EXPECT_EQ(blood.drops[0].color.a, blood.drops[1].color.a);
    EXPECT_EQ(blood.drops[0].position.y, top0);
    EXPECT_EQ(blood.drops[1].position.y, top1);
    EXPECT_EQ(blood.drops[0].color.r, 1.0f);
}

TEST_F(BloodEffectTest, OutOfRangeFadeStartsGiveFiniteDrops) {
    // Fading ends where it starts: past it the strips are transparent.
    {
        BloodEffect blood(52);
        blood.schedule(42.3f, 52);
        blood.update(52.5f);
        EXPECT_EQ(blood.drops[0].color.a, 0.0f);
        EXPECT_EQ(blood.drops[1].color.a, 0.0f);
    }
    // Rising takes no time: the strips are up at once.
    {
        BloodEffect blood(42.3f);
        blood.schedule(42.3f, 52);
        blood.update(42.3f);
        EXPECT_NEAR(blood.drops[0].position.y, 2.0f, 0.2f + 1e-5);
        EXPECT_GE(blood.drops[0].position.y, 2.0f);
        blood.update(47.15f);
        EXPECT_NEAR(blood.drops[0].color.a, 0.2f, 1e-5);
    }
    // A fade start before the span: only the fade runs, the strips stay low.
    {
        BloodEffect blood(40);
        blood.schedule(42, 44);
        blood.update(43);
        EXPECT_EQ(blood.drops[0].position.y, -1.0f);
        EXPECT_NEAR(blood.drops[0].color.a, 0.4f * (1 - 3.0f / 4), 1e-6);
    }
    // A fade start after the span: the strips are still rising at its end.
    {
        BloodEffect blood(60);
        blood.schedule(42, 52);
        blood.update(51);
        EXPECT_TRUE(std::isfinite(blood.drops[0].position.y));
        EXPECT_LT(blood.drops[0].position.y, 0.8f);  // 9 / 18 of the rise: 0.5 + bob
        EXPECT_EQ(blood.drops[0].color.a, 0.4f);
    }
}

TEST_F(BloodEffectTest, TheTextureIsFreedWithTheEffect) {
    BloodEffect* blood = new BloodEffect(50);
    blood->schedule(42.3f, 52);
    boost::weak_ptr<Texture2D> texture = blood->texture;
    EXPECT_FALSE(texture.expired());
    delete blood;
    EXPECT_TRUE(texture.expired());
}

TEST_F(BloodEffectTest, TheTimelineDeletesItAndItsTextureAtTheEndOfTheSpan) {
    TimelineDriver driver;
    Sprite background;
    driver.timeline.add(0, 0, 10, new MoveEffect(&background, Vec2{}, Vec2{}));
    BloodEffect* blood = new BloodEffect(3);
    driver.timeline.add(20, 1, 4, blood);
    boost::weak_ptr<Texture2D> texture = blood->texture;
    EXPECT_TRUE(driver.frameAt(2000));
    // Half the rise, 1.5, plus |0.2 sin 3.4|, from the bottom edge.
    EXPECT_NEAR(blood->drops[0].position.y, 0.5511082f, 1e-5);
    EXPECT_TRUE(driver.frameAt(3500));
    EXPECT_NEAR(blood->drops[1].color.a, 0.2f, 1e-5);
    EXPECT_FALSE(texture.expired());
    EXPECT_TRUE(driver.frameAt(4000));
    EXPECT_TRUE(texture.expired());
}

}  // namespace
