// The one interpolation step of the move, scale and fade effects.
#pragma once

// from + delta * f, with the product rounded to float before the sum, so
// that every build gives the same value (no fused multiply-add).
inline float lerp(float from, float delta, float f) {
    volatile float product = delta * f;
    return from + product;
}
