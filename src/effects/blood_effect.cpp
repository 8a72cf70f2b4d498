#include "effects/blood_effect.h"

#include <cmath>

namespace {
const float dropAlpha = 0.4f;
// Height the top edges climb during the rise, view units.
const float riseHeight = 3;
}  // namespace

BloodEffect::BloodEffect(float fadeStart) : fadeStart(fadeStart) {}

void BloodEffect::schedule(float start, float end) {
    texture.reset(new FileTexture2D("data/blood.png"));
    texture->load();
    this->start = start;
    riseDuration = fadeStart - start;
    this->end = end;
    for (Sprite& drop : drops) {
        drop.color.a = dropAlpha;
        drop.texture = texture;
        drop.rect = QuadRect{-1, -4, 1, 0};  // the top edge is on the position
        drop.texCoords.s0 = 0;
        drop.texCoords.t0 = 0;
        drop.position = Vec2{0, -1};  // the bottom edge of the view
    }
    drops[1].scale.x = 1.5f;
    drops[1].position.x = 0.1f;
}

void BloodEffect::update(float now) {
    if (now > fadeStart) {
        const float fadeDuration = end - fadeStart;
        const float alpha = fadeDuration > 0 ? dropAlpha * (1 - (now - fadeStart) / fadeDuration) : 0.0f;
        drops[0].color.a = alpha;
        drops[1].color.a = alpha;
        return;
    }
    const float rise = riseDuration > 0 ? (now - start) / riseDuration * riseHeight : riseHeight;
    for (int i = 0; i < 2; ++i) {
        // The bob follows the absolute show time, in radians; computed in
        // double and stored as float.
        const double bob = std::fabs(0.2 * std::sin(now * (i + 1.7)));
        drops[i].position.y = static_cast<float>(rise + bob - 1);
    }
}

void BloodEffect::draw() {
    drops[0].draw();
    drops[1].draw();
}
