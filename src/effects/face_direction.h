// The heading rule of the fish: sprites are drawn facing -x, so a sprite
// that moves towards +x is mirrored to face where it goes.
#pragma once

#include "gfx/sprite.h"
#include "gfx/vec2.h"

// direction.x > 0: scale.x becomes -|scale.x|; otherwise (standing still
// horizontally included) +|scale.x|. Nothing else of the sprite changes.
// `time` is unused; it is there to fit PathCallback.
void faceDirection(Sprite& sprite, float time, const Vec2& direction);
