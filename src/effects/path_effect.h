// Carries a sprite along a Catmull-Rom curve through its control points,
// from points[1] towards points[size - 2], each segment taking the same
// share of the span, and hands every step to a callback.
#pragma once

#include "effects/spline.h"
#include "effects/sprite_effect.h"

#include <boost/function.hpp>

// Called after each move with the target, the effect time in seconds and
// the curve's tangent there. Empty means no callback.
typedef boost::function<void(Sprite&, float, const Vec2&)> PathCallback;

class PathEffect : public SpriteEffect {
public:
    // `target` is borrowed and must outlive the effect. `points` and
    // `callback` start empty; the caller fills them before adding the
    // effect to the timeline. The curve needs at least 4 points.
    explicit PathEffect(Sprite& target);
    ~PathEffect() override;

    // Sets `start` and `duration` = end - start, in seconds.
    void schedule(float start, float end) override;
    // Calls the target's tick(now), puts the target on the curve at
    // t = (now - start) / duration * (size - 3), then calls `callback` if it
    // is set. Every call moves the sprite. With fewer than 4 points, a span
    // that is not positive or a time outside the span, the sprite stays
    // where it stands and the callback is not called.
    void update(float now) override;

    float start = 0;
    float duration = 0;
    Spline points;
    PathCallback callback;
};
