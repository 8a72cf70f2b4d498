// Scales the target sprite linearly over the effect's span. The start
// scale is the one given, not the sprite's current scale.
#pragma once

#include "effects/vec2_effect.h"

class ScaleEffect : public Vec2Effect {
public:
    // `target` is borrowed and must outlive the effect; scales are factors
    // along the sprite's local axes.
    ScaleEffect(Sprite* target, const Vec2& from, const Vec2& to);

    // scale = from + delta * (now - start) / duration.
    void update(float now) override;
};
