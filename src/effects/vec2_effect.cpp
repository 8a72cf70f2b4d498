#include "effects/vec2_effect.h"

#include "effects/lerp.h"

Vec2Effect::Vec2Effect(Sprite* target, const Vec2& from, const Vec2& to)
    : SpriteEffect(target), from(from), delta{to.x - from.x, to.y - from.y} {}

void Vec2Effect::schedule(float start, float end) {
    this->start = start;
    duration = end - start;
}

void Vec2Effect::interpolate(float now, Vec2& field) {
    target->tick(now);
    if (!(duration > 0)) return;
    const float f = (now - start) / duration;
    field.x = lerp(from.x, delta.x, f);
    field.y = lerp(from.y, delta.y, f);
}
