// The show's projection, read back from a real GL context: the shorter side
// of the window spans -1 to 1, the longer one extends in proportion, and a
// window without area keeps the projection it had.
#include "app/shell.h"
#include "support/gl_test_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

// Checks the half extents of glOrtho's view: the matrix holds 2 / (r - l)
// and 2 / (t - b), in floats, and the view is centred.
void expectView(double halfWidth, double halfHeight, int viewportWidth, const char* what) {
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    EXPECT_NEAR(1 / m[0], halfWidth, halfWidth * 1e-6) << what;
    EXPECT_NEAR(1 / m[5], halfHeight, halfHeight * 1e-6) << what;
    EXPECT_EQ(m[12], 0.0) << what;
    EXPECT_EQ(m[13], 0.0) << what;
    GLint viewport[4], mode = 0;
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], viewportWidth) << what;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW) << what;
}

TEST(GlProjection, TheShorterSideSpansMinusOneToOne) {
    VESK_REQUIRE_GL();
    const struct {
        int width, height;
        double halfWidth, halfHeight;
    } cases[] = {{1024, 512, 2, 1}, {512, 1024, 1, 2}, {512, 512, 1, 1}, {640, 480, 4.0 / 3, 1},
                 {480, 640, 1, 4.0 / 3}, {4096, 1, 4096, 1}};
    for (const auto& c : cases) {
        reshape(c.width, c.height);
        expectView(c.halfWidth, c.halfHeight, c.width, (std::to_string(c.width) + "x" + std::to_string(c.height)).c_str());
    }
}

TEST(GlProjection, AWindowWithoutAreaKeepsThePreviousProjection) {
    VESK_REQUIRE_GL();
    reshape(300, 100);
    const int empty[][2] = {{0, 100}, {300, 0}, {0, 0}, {-5, 10}};
    for (const auto& size : empty) {
        reshape(size[0], size[1]);
        expectView(3, 1, 300, (std::to_string(size[0]) + "x" + std::to_string(size[1])).c_str());
    }
}

}  // namespace
