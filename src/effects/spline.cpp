#include "effects/spline.h"

#include <cmath>

bool Spline::evaluate(Vec2& position, Vec2& tangent, float t) const {
    if (points.size() < 4) return false;
    const std::size_t lastSegment = points.size() - 4;
    const float segmentCount = static_cast<float>(points.size() - 3);
    // The negated test also refuses NaN.
    if (!(t >= 0 && t <= segmentCount)) return false;
    // Only t at the very end reaches segmentCount; it belongs to the last
    // segment, at u = 1.
    std::size_t i = static_cast<std::size_t>(std::floor(t));
    if (i > lastSegment) i = lastSegment;
    const float u = t - static_cast<float>(i);

    const Vec2& p0 = points[i];
    const Vec2& p1 = points[i + 1];
    const Vec2& p2 = points[i + 2];
    const Vec2& p3 = points[i + 3];
    const Vec2 a = p2 - p0;
    const Vec2 b = 2.0f * p0 - 5.0f * p1 + 4.0f * p2 - p3;
    const Vec2 c = -p0 + 3.0f * p1 - 3.0f * p2 + p3;

    tangent = 0.5f * (a + (2.0f * u) * b + (3.0f * u * u) * c);
    // Horner's order: the same rounding in every build.
    position = 0.5f * (2.0f * p1 + u * (a + u * (b + u * c)));
    return true;
}
