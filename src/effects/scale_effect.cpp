#include "effects/scale_effect.h"

ScaleEffect::ScaleEffect(Sprite* target, const Vec2& from, const Vec2& to) : Vec2Effect(target, from, to) {}

void ScaleEffect::update(float now) { interpolate(now, target->scale); }
