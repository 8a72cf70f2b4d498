// A colour of four floats r, g, b, a, nominally 0..1, laid out in the order
// the GL takes a colour array.
#pragma once

struct Color {
    float r = 0;
    float g = 0;
    float b = 0;
    float a = 0;

    const float* data() const { return &r; }
};

inline bool operator==(const Color& x, const Color& y) { return x.r == y.r && x.g == y.g && x.b == y.b && x.a == y.a; }
