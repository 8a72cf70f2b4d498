#include "effects/fade_effect.h"

#include "effects/lerp.h"

FadeEffect::FadeEffect(Sprite* target, const Color& from, const Color& to)
    : SpriteEffect(target), from(from), delta{to.r - from.r, to.g - from.g, to.b - from.b, to.a - from.a} {}

void FadeEffect::schedule(float start, float end) {
    this->start = start;
    duration = end - start;
}

void FadeEffect::update(float now) {
    target->tick(now);
    if (!(duration > 0)) return;
    const float f = (now - start) / duration;
    Color& color = target->color;
    color.r = lerp(from.r, delta.r, f);
    color.g = lerp(from.g, delta.g, f);
    color.b = lerp(from.b, delta.b, f);
    color.a = lerp(from.a, delta.a, f);
}
