// Base of the two effects that interpolate a Vec2 field of their target
// linearly over their span: MoveEffect (position) and ScaleEffect (scale).
// They share the fields, the schedule and the arithmetic; each writes its
// own field.
#pragma once

#include "effects/sprite_effect.h"
#include "gfx/vec2.h"

class Vec2Effect : public SpriteEffect {
public:
    // Sets `start` and `duration` = end - start, in seconds.
    void schedule(float start, float end) override;

    Vec2 from;   // the value at the start of the span
    Vec2 delta;  // the end value minus `from`
    float start = 0;
    float duration = 0;

protected:
    // `from` and `delta` = to - from; the target is neither read nor written.
    Vec2Effect(Sprite* target, const Vec2& from, const Vec2& to);

    // Calls the target's tick(now), then writes from + delta * f, with
    // f = (now - start) / duration unclamped, into `field`. A span that is
    // not positive has no rate, so the field is left as it stands.
    void interpolate(float now, Vec2& field);
};
