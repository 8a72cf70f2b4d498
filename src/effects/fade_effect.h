// Changes the target sprite's colour linearly over the effect's span, all
// four components together (a is the opacity).
#pragma once

#include "effects/sprite_effect.h"
#include "gfx/color.h"

class FadeEffect : public SpriteEffect {
public:
    // `target` is borrowed and must outlive the effect. The sprite is
    // neither read nor written here.
    FadeEffect(Sprite* target, const Color& from, const Color& to);

    // Sets `start` and `duration` = end - start, in seconds.
    void schedule(float start, float end) override;
    // Calls the target's tick(now), then color = from + delta * f with
    // f = (now - start) / duration, unclamped. A span that is not positive
    // leaves the colour as it stands.
    void update(float now) override;

    Color from;
    Color delta;  // the end colour minus `from`, per component
    float start = 0;
    float duration = 0;
};
