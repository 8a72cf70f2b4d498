// Window sizes a user or a window manager can make: a 1 x 1 window, a
// minimised one (no height), a very wide one. The projection stays finite
// and keeps the shorter side spanning -1 to 1; a window without area keeps
// the projection it had. Read back from a real GL context.
#include "app/shell.h"
#include "support/gl_test_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Projection {
    GLdouble m[16];
    bool finite() const {
        for (GLdouble v : m)
            if (!std::isfinite(v)) return false;
        return true;
    }
    // glOrtho(-w, w, -h, h, ...) puts 1 / w and 1 / h on the diagonal.
    double halfWidth() const { return 1.0 / m[0]; }
    double halfHeight() const { return 1.0 / m[5]; }
};

Projection currentProjection() {
    Projection p;
    glGetDoublev(GL_PROJECTION_MATRIX, p.m);
    return p;
}

TEST(WindowSizes, ExtremeSizesKeepTheShorterSideRule) {
    VESK_REQUIRE_GL();
    struct Case {
        int width, height;
        double halfWidth, halfHeight;
    };
    const Case cases[] = {{1, 1, 1, 1}, {4096, 256, 16, 1}, {256, 4096, 1, 16}, {4096, 1, 4096, 1}};
    for (const Case& c : cases) {
        reshape(c.width, c.height);
        Projection p = currentProjection();
        ASSERT_TRUE(p.finite()) << c.width << " x " << c.height;
        EXPECT_NEAR(p.halfWidth(), c.halfWidth, c.halfWidth * 1e-6) << c.width << " x " << c.height;
        EXPECT_NEAR(p.halfHeight(), c.halfHeight, c.halfHeight * 1e-6) << c.width << " x " << c.height;
    }
}

TEST(WindowSizes, MinimisedAndRestoredWindow) {
    VESK_REQUIRE_GL();
    reshape(4096, 256);
    // Minimised: no height, then no area at all; the projection stands.
    for (int height : {0, -1}) {
        reshape(4096, height);
        Projection p = currentProjection();
        ASSERT_TRUE(p.finite());
        EXPECT_NEAR(p.halfWidth(), 16.0, 16e-6);
        EXPECT_NEAR(p.halfHeight(), 1.0, 1e-6);
    }
    reshape(0, 0);
    EXPECT_NEAR(currentProjection().halfWidth(), 16.0, 16e-6);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 4096);
    EXPECT_EQ(viewport[3], 256);
    // Restored.
    reshape(512, 512);
    Projection p = currentProjection();
    EXPECT_NEAR(p.halfWidth(), 1.0, 1e-6);
    EXPECT_NEAR(p.halfHeight(), 1.0, 1e-6);
    // Back to the test context's own window size.
    reshape(vesk_test::glTestWindowPixels, vesk_test::glTestWindowPixels);
}

}  // namespace
