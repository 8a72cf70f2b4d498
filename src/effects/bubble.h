// One bubble of a BubbleEffect: a sprite whose un-wobbled position
// integrates a velocity, drawn with a small Lissajous wobble of its own
// frequency. Owned by value by its effect; its fields other than the sprite
// are set by BubbleEffect::schedule before any use.
#pragma once

#include "gfx/sprite.h"
#include "gfx/vec2.h"

class Bubble {
public:
    // One motion step at effect time `elapsed`, `dt` seconds after the
    // previous one: moves `base` by the current velocity, sets the sprite to
    // base plus the wobble at `elapsed`, and before 2 s of effect time slows
    // the horizontal speed linearly towards 0.
    void step(float elapsed, float dt);

    Sprite sprite;
    Vec2 base;            // view units
    Vec2 velocity;        // view units per second of effect time
    float spreadSpeed = 0;  // horizontal speed at the start
    float frequency = 0;    // wobble, radians per second of effect time
};
