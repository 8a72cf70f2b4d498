// Moves the target sprite in a straight line over the effect's span. With
// equal end points it holds the sprite there (and draws it) for the span.
#pragma once

#include "effects/vec2_effect.h"

class MoveEffect : public Vec2Effect {
public:
    // `target` is borrowed and must outlive the effect; positions in view
    // units.
    MoveEffect(Sprite* target, const Vec2& from, const Vec2& to);

    // position = from + delta * (now - start) / duration. The end point is
    // never quite reached: the timeline stops the effect 0.0001 s early.
    void update(float now) override;
};
