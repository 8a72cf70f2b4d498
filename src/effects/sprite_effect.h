// Base of the effects that animate one sprite and draw exactly that sprite.
// The target is borrowed: the scene's sprites outlive every effect, and an
// effect never deletes or resets its target.
#pragma once

#include "gfx/sprite.h"
#include "timeline/effect.h"

class SpriteEffect : public Effect {
public:
    explicit SpriteEffect(Sprite* target) : target(target) {}

    // Draws the target as the effect's update left it.
    void draw() override;

    Sprite* target;  // not owned
};
