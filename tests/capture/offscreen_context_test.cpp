#include "offscreen_context.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(OffscreenContext, DrawsFixedFunctionGlWithoutADisplayAndReadsTopRowFirst) {
    // Nothing here may need a display server.
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    std::string error;
    auto context = OffscreenContext::create(6, 4, error);
    ASSERT_TRUE(context) << error;
    EXPECT_EQ(context->width(), 6);
    EXPECT_EQ(context->height(), 4);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, 0, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    // Half-transparent red over the upper half (y up), blended as the show
    // blends.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 0, 0, 0.5f);
    glBegin(GL_QUADS);
    glVertex2f(-1, 0);
    glVertex2f(1, 0);
    glVertex2f(1, 1);
    glVertex2f(-1, 1);
    glEnd();
    glDisable(GL_BLEND);
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    std::vector<uint8_t> rgb(6 * 4 * 3, 7);
    context->readPicture(rgb.data());
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            const uint8_t* pixel = &rgb[(y * 6 + x) * 3];
            SCOPED_TRACE("pixel " + std::to_string(x) + "," + std::to_string(y));
            if (y < 2) {
                EXPECT_NEAR(pixel[0], 128, 1);
                EXPECT_EQ(pixel[1], 0);
                EXPECT_NEAR(pixel[2], 127, 1);
            } else {
                EXPECT_EQ(pixel[0], 0);
                EXPECT_EQ(pixel[2], 255);
            }
        }
}

TEST(OffscreenContext, RefusesASizeBeyondTheRenderer) {
    std::string error;
    EXPECT_FALSE(OffscreenContext::create(1 << 20, 16, error));
    EXPECT_NE(error.find("pixels a side"), std::string::npos) << error;
}

}  // namespace
