// The show's projection, read back from a real GL context: the shorter side
// of the window spans -1 to 1, the longer one extends in proportion, and a
// window without area keeps the projection it had.
#include "app/shell.h"
#include "support/gl_test_context.h"

#include <GL/gl.h>

TEST(GlProjection, TheShorterSideSpansMinusOneToOneAndAnEmptyWindowChangesNothing) {
    VESK_REQUIRE_GL();
    // Sizes without area (0 or negative) keep the 300 x 100 view before them.
    const struct {
        int width, height;
        double halfWidth, halfHeight;
        int viewportWidth;
    } cases[] = {{1024, 512, 2, 1, 1024}, {512, 1024, 1, 2, 512}, {512, 512, 1, 1, 512}, {640, 480, 4.0 / 3, 1, 640},
                 {480, 640, 1, 4.0 / 3, 480}, {4096, 1, 4096, 1, 4096}, {300, 100, 3, 1, 300}, {0, 100, 3, 1, 300},
                 {300, 0, 3, 1, 300}, {0, 0, 3, 1, 300}, {-5, 10, 3, 1, 300}};
    for (const auto& c : cases) {
        reshape(c.width, c.height);
        const std::string what = std::to_string(c.width) + "x" + std::to_string(c.height);
        // glOrtho's matrix holds 2 / (r - l) and 2 / (t - b), in floats; the view is centred.
        GLdouble m[16];
        glGetDoublev(GL_PROJECTION_MATRIX, m);
        EXPECT_NEAR(1 / m[0], c.halfWidth, c.halfWidth * 1e-6) << what;
        EXPECT_NEAR(1 / m[5], c.halfHeight, c.halfHeight * 1e-6) << what;
        EXPECT_TRUE(m[12] == 0 && m[13] == 0) << what;
        GLint viewport[4], mode = 0;
        glGetIntegerv(GL_VIEWPORT, viewport);
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_TRUE(viewport[2] == c.viewportWidth && mode == GL_MODELVIEW) << what;
    }
}
