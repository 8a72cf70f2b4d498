#include "effects/bubble.h"

#include <cmath>

namespace {
// Effect time at which the bubbles stop fanning out, seconds.
const float spreadTime = 2;
}  // namespace

void Bubble::step(float elapsed, float dt) {
    base.x += velocity.x * dt;
    base.y += velocity.y * dt;
    const float a = elapsed * frequency;
    // Sines of radians in double precision, each result stored as float.
    sprite.position.x = static_cast<float>(base.x + 0.05 * std::sin(a));
    sprite.position.y = static_cast<float>(base.y + 0.03 * std::sin(1.5 * a));
    // After the spread time the speed keeps the small remainder of the last
    // step before it.
    if (elapsed < spreadTime) velocity.x = (spreadTime - elapsed) * spreadSpeed * 0.5f;
}
