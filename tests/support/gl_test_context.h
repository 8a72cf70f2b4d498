// A real GL context for pixel tests: one freeglut window of 100 x 100 pixels
// (GLUT_DOUBLE | GLUT_RGB), made once per test process, with the show's
// drawing state: x and y both run from -1 to 1 (y up), so 0.2 view units
// are 10 pixels; alpha blending with SRC_ALPHA / ONE_MINUS_SRC_ALPHA; no
// depth test. Tests draw into the back buffer and read it back before any
// swap. Main thread only.
//
//     TEST(MySuite, DrawsRed) {
//         VESK_REQUIRE_GL();                    // fails when there is no display
//         vesk_test::clearFrame(0, 0, 0);
//         ... draw ...
//         vesk_test::Frame frame;               // reads the back buffer
//         EXPECT_TRUE(vesk_test::rgbaNear(frame.atView(0, 0), {255, 0, 0, 255}));
//     }
#pragma once

#include "support/rgba.h"

#include <string>
#include <vector>

namespace vesk_test {

constexpr int glTestWindowPixels = 100;

// Makes the test context current, creating the window on first use, and
// puts the state back to the show's start-up state: identity modelview, the
// projection above, blending on, depth test and GL_TEXTURE_2D off, texture 0
// bound, current colour opaque white. Unless a handler is already in place,
// an "Error" box fails the test instead of waiting for a click. Returns
// false, with the reason in `whyNot`, when no display can be opened (DISPLAY
// unset or unreachable).
bool useGlTestContext(std::string* whyNot);

// Fails the calling test when there is no GL context: a test that needs a
// display must not pass for want of one.
#define VESK_REQUIRE_GL()                                                  \
    do {                                                                   \
        std::string vesk_gl_why_not_;                                      \
        if (!::vesk_test::useGlTestContext(&vesk_gl_why_not_))             \
            GTEST_FAIL() << "no GL test context: " << vesk_gl_why_not_;    \
    } while (0)

// Clears the colour buffer to (r, g, b), each 0..1.
void clearFrame(float r, float g, float b);

// A copy of the back buffer, read with glReadPixels when constructed. The
// window has no alpha channel, so a is always 255.
class Frame {
public:
    Frame();
    // The pixel that contains the view point (x, y), both -1..1, clamped to
    // the window.
    Rgba atView(float x, float y) const;
    // Column from the left, row from the bottom, both 0..99.
    Rgba atPixel(int column, int row) const { return pixels_[size_t(row) * glTestWindowPixels + size_t(column)]; }

private:
    std::vector<Rgba> pixels_;  // bottom row first
};

}  // namespace vesk_test
