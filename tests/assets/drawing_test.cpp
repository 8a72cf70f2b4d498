// The generator's drawing helpers: the canvas's conversion to straight
// alpha and its colour bleeding, the PNG writer, and centred lettering.
#include "draw/canvas.h"
#include "draw/lettering.h"
#include "output/png_file.h"
#include "platform/image.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

const uint8_t* pixel(const std::vector<uint8_t>& rgba, int width, int x, int y) {
    return &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
}

TEST(CanvasTest, UnpremultipliesAndBleedsColourAFewPixelsIntoTransparency) {
    Canvas canvas(32, 8);
    cairo_t* cr = canvas.context();
    cairo_rectangle(cr, 0, 0, 10, 8);
    cairo_set_source_rgba(cr, 1, 0, 0, 128 / 255.0);
    cairo_fill(cr);
    std::vector<uint8_t> rgba = canvas.straightRgba();
    ASSERT_EQ(rgba.size(), 32u * 8 * 4);

    const uint8_t* inside = pixel(rgba, 32, 5, 4);
    EXPECT_EQ(inside[0], 255);
    EXPECT_EQ(inside[1], 0);
    EXPECT_EQ(inside[2], 0);
    EXPECT_EQ(inside[3], 128);
    // Just outside and four pixels out: red, still clear.
    for (int x : {10, 13}) {
        const uint8_t* near = pixel(rgba, 32, x, 4);
        EXPECT_EQ(near[0], 255) << x;
        EXPECT_EQ(near[3], 0) << x;
    }
    // Five pixels out: untouched.
    const uint8_t* far = pixel(rgba, 32, 14, 4);
    EXPECT_EQ(far[0], 0);
    EXPECT_EQ(far[3], 0);
}

TEST(PngFileTest, WritesWhatTheShowDecodesAndRefusesAWrongBuffer) {
    const std::string path = testing::TempDir() + "vesk_png_file_test.png";
    // A 2 x 2 picture: opaque red, half-clear green, clear, opaque blue.
    const std::vector<uint8_t> rgba = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 0, 0, 0, 0, 255, 255};
    ASSERT_TRUE(writePngFile(path, 2, 2, rgba));
    auto image = decodePngFile(path.c_str(), 16);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 2);
    EXPECT_EQ(image->height(), 2);
    EXPECT_EQ(std::vector<uint8_t>(image->pixels(), image->pixels() + 16), rgba);

    // Opaque pictures are written without alpha and decode as opaque.
    const std::vector<uint8_t> opaque = {10, 20, 30, 255};
    ASSERT_TRUE(writePngFile(path, 1, 1, opaque));
    image = decodePngFile(path.c_str(), 16);
    ASSERT_TRUE(image);
    EXPECT_EQ(std::vector<uint8_t>(image->pixels(), image->pixels() + 4), opaque);

    EXPECT_FALSE(writePngFile(path, 2, 2, opaque));
    EXPECT_FALSE(writePngFile(testing::TempDir() + "no/such/dir/x.png", 1, 1, opaque));
    std::remove(path.c_str());
}

TEST(LetteringTest, FitsTheWidthAndCentresTheInkOnTheBaseline) {
    Canvas canvas(400, 200);
    cairo_t* cr = canvas.context();
    double size = sizeToFit(cr, "KELPWAKE", sansBold, 200, 300, 4);
    double width = measureText(cr, "KELPWAKE", sansBold, size, 4).width;
    EXPECT_LE(width, 300);
    EXPECT_GT(width, 285);
    // A size that already fits is kept.
    EXPECT_EQ(sizeToFit(cr, "K", sansBold, 20, 300), 20);

    addCentredText(cr, "KELPWAKE", sansBold, size, 200, 150, 4);
    double x0, y0, x1, y1;
    cairo_fill_extents(cr, &x0, &y0, &x1, &y1);
    EXPECT_NEAR((x0 + x1) / 2, 200, 1.0);
    EXPECT_NEAR(x1 - x0, width, 1.0);
    // Capitals sit on the baseline.
    EXPECT_NEAR(y1, 150, 1.0);
    EXPECT_LT(y0, 150 - size * 0.6);
}

}  // namespace
