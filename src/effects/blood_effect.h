// A wash of blood over the scene: two translucent strips of
// "data/blood.png" rise from the bottom edge of the view with bobbing top
// edges until they cover it, then stay and fade out together. The effect
// owns its two sprites and its texture.
#pragma once

#include "gfx/sprite.h"
#include "gfx/texture.h"
#include "timeline/effect.h"

#include <boost/shared_ptr.hpp>

class BloodEffect : public Effect {
public:
    // `fadeStart`: absolute show time in seconds at which the rise stops and
    // the fade begins; meant to lie inside the span given to schedule.
    explicit BloodEffect(float fadeStart);

    // Loads the texture (needs a current GL context) and sets up the drops:
    // alpha 0.4, a strip 2 wide and 4 tall hanging below the sprite's
    // position, placed at (0, -1); drop 1 is 1.5 times as wide, 0.1 right.
    void schedule(float start, float end) override;
    // Up to fadeStart the top edges climb 3 units from the bottom of the
    // view, bobbing up by at most 0.2 with the absolute show time; after it
    // the alpha of both falls from 0.4 towards 0 at `end` and the drops stay.
    // A rise of no length counts as finished (top edges at 2 plus the bob);
    // a fade of no length leaves the drops transparent.
    void update(float now) override;
    // Drop 0, then drop 1 over it.
    void draw() override;

    Sprite drops[2];
    float start = 0;         // show time, seconds
    float riseDuration = 0;  // fadeStart - start
    float fadeStart;
    float end = 0;
    boost::shared_ptr<Texture2D> texture;  // shared with both drops
};
