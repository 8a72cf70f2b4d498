// A 2-D vector of floats: positions in view units (y up), scale factors,
// control points.
#pragma once

struct Vec2 {
    float x = 0;
    float y = 0;
};

inline Vec2 operator+(const Vec2& a, const Vec2& b) { return Vec2{a.x + b.x, a.y + b.y}; }
inline Vec2 operator-(const Vec2& a, const Vec2& b) { return Vec2{a.x - b.x, a.y - b.y}; }
inline Vec2 operator-(const Vec2& a) { return Vec2{-a.x, -a.y}; }
inline Vec2 operator*(float k, const Vec2& v) { return Vec2{k * v.x, k * v.y}; }
inline Vec2 operator*(const Vec2& v, float k) { return Vec2{v.x * k, v.y * k}; }
inline bool operator==(const Vec2& a, const Vec2& b) { return a.x == b.x && a.y == b.y; }
