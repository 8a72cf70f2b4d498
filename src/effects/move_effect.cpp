#include "effects/move_effect.h"

MoveEffect::MoveEffect(Sprite* target, const Vec2& from, const Vec2& to) : Vec2Effect(target, from, to) {}

void MoveEffect::update(float now) { interpolate(now, target->position); }
