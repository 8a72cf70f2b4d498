#include "effects/face_direction.h"

#include <cmath>

void faceDirection(Sprite& sprite, float, const Vec2& direction) {
    const float magnitude = std::fabs(sprite.scale.x);
    sprite.scale.x = direction.x > 0 ? -magnitude : magnitude;
}
