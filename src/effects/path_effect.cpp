#include "effects/path_effect.h"

PathEffect::PathEffect(Sprite& target) : SpriteEffect(&target) {}

PathEffect::~PathEffect() {
    // Whatever the callback holds goes first, while the points still exist.
    callback.clear();
}

void PathEffect::schedule(float start, float end) {
    this->start = start;
    duration = end - start;
}

void PathEffect::update(float now) {
    target->tick(now);
    if (points.size() < 4 || !(duration > 0)) return;
    const float elapsed = now - start;
    const float t = (elapsed / duration) * static_cast<float>(points.size() - 3);
    Vec2 tangent;
    if (!points.evaluate(target->position, tangent, t)) return;
    if (callback) callback(*target, elapsed, tangent);
}
