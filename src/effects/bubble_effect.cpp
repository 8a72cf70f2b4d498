#include "effects/bubble_effect.h"

#include "platform/random.h"

namespace {
// The motion is integrated in steps no closer than this, in seconds.
const float minimumStep = 0.01f;

// A fresh draw in [0, 1]. The divisor is the generator's fixed 15-bit
// range, whatever the C library's RAND_MAX.
float randomUnit() { return static_cast<float>(randomInt()) * (1.0f / 32767); }
}  // namespace

BubbleEffect::BubbleEffect(const Vec2& origin, unsigned count) : origin(origin), bubbles(count) {}

void BubbleEffect::schedule(float start, float end) {
    this->start = start;
    if (!bubbleTexture) {
        bubbleTexture.reset(new FileTexture2D("data/bubble.png"));
        bubbleTexture->load();
    }
    lastStep = 0;
    if (bubbles.empty()) return;
    const float inverseDuration = end > start ? 1 / (end - start) : 0.0f;
    for (Bubble& bubble : bubbles) {
        bubble.sprite.texture = bubbleTexture;
        // The five draws, in this order: x, y, size, climb, wobble.
        const float x = origin.x + (randomUnit() * 0.02f - 0.01f);
        const float y = origin.y + (randomUnit() * 0.02f - 0.01f);
        bubble.sprite.position = Vec2{x, y};
        bubble.base = bubble.sprite.position;
        const float size = randomUnit() * 1.4f + 0.1f;
        bubble.sprite.scale = Vec2{size, size};
        bubble.spreadSpeed = (bubble.sprite.position.x - origin.x) * 50;
        const float climbSpeed = (randomUnit() * 0.3f + (1 - origin.y)) * inverseDuration;
        bubble.velocity = Vec2{bubble.spreadSpeed, climbSpeed};
        bubble.frequency = (randomUnit() + 1) * 3;
    }
}

void BubbleEffect::update(float now) {
    const float elapsed = now - start;
    if (lastStep + minimumStep > elapsed) return;
    const float dt = elapsed - lastStep;
    for (Bubble& bubble : bubbles) bubble.step(elapsed, dt);
    lastStep = elapsed;
}

void BubbleEffect::draw() {
    for (Bubble& bubble : bubbles) bubble.sprite.draw();
}
