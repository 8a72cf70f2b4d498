#include "effects/swim_effect.h"

#include <cmath>

namespace {
// The motion is integrated in steps no closer than this, in seconds.
const float minimumStep = 0.01f;
}  // namespace

SwimEffect::SwimEffect(Sprite& target) : SpriteEffect(&target) {}

void SwimEffect::schedule(float start, float) {
    this->start = start;
    lastStep = 0;
}

void SwimEffect::update(float now) {
    target->tick(now);
    const float elapsed = now - start;
    if (lastStep + minimumStep > elapsed) return;
    const Vec2 previous = target->position;
    // Sines of radians in double precision, each result stored as float.
    target->position.x = static_cast<float>(0.5 * std::sin(2.0 * elapsed));
    target->position.y = static_cast<float>(0.2 * std::sin(3.0 * elapsed));
    const Vec2 direction{target->position.x - previous.x, target->position.y - previous.y};
    faceDirection(*target, elapsed, direction);
    lastStep = elapsed;
}
