// Lets a sprite wander about the centre of the view on a fixed Lissajous
// figure, 1.0 wide and 0.4 high, facing its horizontal motion.
#pragma once

#include "effects/face_direction.h"
#include "effects/sprite_effect.h"

class SwimEffect : public SpriteEffect {
public:
    // `target` is borrowed and must outlive the effect.
    explicit SwimEffect(Sprite& target);

    // Stores `start` and restarts the figure: lastStep = 0. `end` is unused.
    void schedule(float start, float end) override;
    // Calls the target's tick(now) every time. Once at least 0.01 s of
    // effect time has passed since the last step, places the sprite at
    // (0.5 sin 2e, 0.2 sin 3e) for e = now - start (the position is set, not
    // offset) and turns it with faceDirection. Earlier frames change nothing.
    void update(float now) override;

    float start = 0;     // show time, seconds
    float lastStep = 0;  // effect time of the last step, seconds
};
