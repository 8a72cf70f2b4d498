// The show's projection: the shorter side of the window spans -1 to 1 and
// the longer one extends in proportion; a window without area keeps the
// projection it had. Read back from a real GL context.
#include "app/shell.h"
#include "support/gl_test_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

// The view rectangle that the projection maps onto the window: for
// glOrtho(l, r, b, t, ...) the matrix holds 2 / (r - l) and 2 / (t - b).
struct ViewExtent {
    double halfWidth, halfHeight;
};

ViewExtent projectedExtent() {
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    EXPECT_EQ(m[12], 0.0) << "not centred horizontally";
    EXPECT_EQ(m[13], 0.0) << "not centred vertically";
    // The GL keeps the matrix in floats, so the extents come back to within
    // float precision.
    return ViewExtent{1.0 / m[0], 1.0 / m[5]};
}

GLint matrixMode() {
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    return mode;
}

TEST(Projection, TheShorterSideSpansMinusOneToOne) {
    VESK_REQUIRE_GL();
    reshape(1024, 512);
    ViewExtent wide = projectedExtent();
    EXPECT_NEAR(wide.halfWidth, 2.0, 2.0 * 1e-6);
    EXPECT_NEAR(wide.halfHeight, 1.0, 1.0 * 1e-6);
    EXPECT_EQ(matrixMode(), GL_MODELVIEW);

    reshape(512, 1024);
    ViewExtent tall = projectedExtent();
    EXPECT_NEAR(tall.halfWidth, 1.0, 1.0 * 1e-6);
    EXPECT_NEAR(tall.halfHeight, 2.0, 2.0 * 1e-6);

    reshape(512, 512);
    ViewExtent square = projectedExtent();
    EXPECT_NEAR(square.halfWidth, 1.0, 1.0 * 1e-6);
    EXPECT_NEAR(square.halfHeight, 1.0, 1.0 * 1e-6);

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 512);
    EXPECT_EQ(viewport[3], 512);
}

TEST(Projection, AWindowWithoutAreaKeepsThePreviousProjection) {
    VESK_REQUIRE_GL();
    reshape(300, 100);
    const int empty[][2] = {{0, 100}, {300, 0}, {0, 0}, {-5, 10}};
    for (const auto& size : empty) {
        reshape(size[0], size[1]);
        ViewExtent kept = projectedExtent();
        EXPECT_NEAR(kept.halfWidth, 3.0, 3.0 * 1e-6) << size[0] << " x " << size[1];
        EXPECT_NEAR(kept.halfHeight, 1.0, 1.0 * 1e-6) << size[0] << " x " << size[1];
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], 300);
    }
    // A sliver still follows the rule, without infinities.
    reshape(4096, 1);
    ViewExtent sliver = projectedExtent();
    EXPECT_NEAR(sliver.halfWidth, 4096.0, 4096.0 * 1e-6);
    EXPECT_NEAR(sliver.halfHeight, 1.0, 1.0 * 1e-6);
}

}  // namespace
