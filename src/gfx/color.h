// A colour of four floats r, g, b, a, nominally 0..1, laid out in the order
// the GL takes a colour array.
#pragma once

struct Color {
    float r = 0;
    float g = 0;
    float b = 0;
    float a = 0;

    // The four floats as one array, for glColor4fv.
    const float* data() const { return &r; }
};

static_assert(sizeof(Color) == 4 * sizeof(float), "Color must be four packed floats for glColor4fv");

inline bool operator==(const Color& x, const Color& y) { return x.r == y.r && x.g == y.g && x.b == y.b && x.a == y.a; }
