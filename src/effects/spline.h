// A uniform Catmull-Rom curve (tension 1/2) through a sequence of control
// points. Segment i runs from point i+1 to point i+2, shaped by points i and
// i+3, so n points give n - 3 segments; the first and last points only bend
// the ends. The points are owned by value.
#pragma once

#include "gfx/vec2.h"

#include <cstddef>
#include <deque>

class Spline {
public:
    typedef std::deque<Vec2>::iterator iterator;
    typedef std::deque<Vec2>::const_iterator const_iterator;

    std::size_t size() const { return points.size(); }
    bool empty() const { return points.empty(); }
    Vec2& operator[](std::size_t i) { return points[i]; }
    const Vec2& operator[](std::size_t i) const { return points[i]; }
    iterator begin() { return points.begin(); }
    iterator end() { return points.end(); }
    const_iterator begin() const { return points.begin(); }
    const_iterator end() const { return points.end(); }

    void push_back(const Vec2& point) { points.push_back(point); }
    template <class InputIterator>
    iterator insert(const_iterator position, InputIterator first, InputIterator last) {
        return points.insert(position, first, last);
    }
    // Appends [first, last) at the back, in order.
    template <class InputIterator>
    void append(InputIterator first, InputIterator last) {
        points.insert(points.end(), first, last);
    }
    void clear() { points.clear(); }

    // Writes the curve's point and its tangent (the derivative with respect
    // to the segment parameter, not to time) for parameter t. At t = k the
    // curve is on points[k+1], with tangent (points[k+2] - points[k]) / 2.
    // Defined for 0 <= t <= size() - 3; t = size() - 3 gives the end of the
    // last segment. Any other t, or fewer than 4 points, writes nothing and
    // returns false.
    bool evaluate(Vec2& position, Vec2& tangent, float t) const;

private:
    std::deque<Vec2> points;
};
