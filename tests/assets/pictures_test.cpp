// The generated pictures: sizes and aspects the sprites are set up for,
// power-of-two sizes for the show's OpenGL 1.1 textures, and alpha where
// the show relies on it. Rows count from the top of the picture, which the
// show puts at the top of the sprite.
#include "platform/image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

namespace {

std::unique_ptr<DecodedImage> picture(const char* name) {
    return decodePngFile((std::string("data/") + name).c_str(), 4096);
}

const uint8_t* pixelAt(const DecodedImage& image, int x, int y) {
    return image.pixels() + (size_t(y) * size_t(image.width()) + size_t(x)) * 4;
}
int alphaAt(const DecodedImage& image, int x, int y) { return pixelAt(image, x, y)[3]; }

bool isPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

// How many pixels in [x0, x1) x [y0, y1) have alpha at least `minAlpha`.
int countAlphaAtLeast(const DecodedImage& image, int x0, int y0, int x1, int y1, int minAlpha) {
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) count += alphaAt(image, x, y) >= minAlpha;
    return count;
}

bool cornersClear(const DecodedImage& image) {
    int w = image.width(), h = image.height();
    return alphaAt(image, 0, 0) == 0 && alphaAt(image, w - 1, 0) == 0 && alphaAt(image, 0, h - 1) == 0 &&
           alphaAt(image, w - 1, h - 1) == 0;
}

TEST(PictureTest, EveryPictureDecodesWithItsAspectAndPowerOfTwoSides) {
    struct Expected {
        const char* name;
        int widthPerHeight;  // 4: 4 : 1
        int heightPerWidth;  // 2: 1 : 2
    };
    const Expected pictures[] = {{"fishtank.png", 1, 1},        {"spinefin-256-transparent.png", 1, 1},
                                 {"spinefin-open.png", 1, 1},   {"tolvane-transparent.png", 1, 4},
                                 {"kelpwake-filled.png", 4, 1}, {"by-vesk.png", 4, 1},
                                 {"outro.png", 1, 1},           {"outro2.png", 4, 1},
                                 {"blood.png", 1, 2},           {"bubble.png", 1, 1}};
    for (const Expected& e : pictures) {
        SCOPED_TRACE(e.name);
        auto image = picture(e.name);
        ASSERT_TRUE(image);
        EXPECT_TRUE(isPowerOfTwo(image->width()));
        EXPECT_TRUE(isPowerOfTwo(image->height()));
        EXPECT_EQ(image->width() * e.heightPerWidth, image->height() * e.widthPerHeight);
    }
    auto fish = picture("spinefin-256-transparent.png");
    ASSERT_TRUE(fish);
    EXPECT_EQ(fish->width(), 256);
}

TEST(PictureTest, TheFishtankIsOpaqueEverywhere) {
    auto tank = picture("fishtank.png");
    ASSERT_TRUE(tank);
    EXPECT_EQ(countAlphaAtLeast(*tank, 0, 0, tank->width(), tank->height(), 255), tank->width() * tank->height());
}

TEST(PictureTest, TheOverlaysHaveClearBackgroundsAndVisibleContent) {
    for (const char* name : {"spinefin-256-transparent.png", "spinefin-open.png", "tolvane-transparent.png",
                             "kelpwake-filled.png", "by-vesk.png", "outro.png", "outro2.png", "bubble.png"}) {
        SCOPED_TRACE(name);
        auto image = picture(name);
        ASSERT_TRUE(image);
        EXPECT_TRUE(cornersClear(*image));
        int area = image->width() * image->height();
        int solid = countAlphaAtLeast(*image, 0, 0, image->width(), image->height(), 200);
        int clear = area - countAlphaAtLeast(*image, 0, 0, image->width(), image->height(), 1);
        EXPECT_GT(solid, area / 50);
        EXPECT_GT(clear, area / 5);
    }
}

TEST(PictureTest, TheTwoFishDifferOnlyAroundTheMouth) {
    auto closed = picture("spinefin-256-transparent.png");
    auto open = picture("spinefin-open.png");
    ASSERT_TRUE(closed && open);
    ASSERT_EQ(closed->width(), open->width());
    ASSERT_EQ(closed->height(), open->height());
    // The mouth is at the head's tip, left (the fish faces -x), mid height.
    int differing = 0, outsideMouth = 0;
    for (int y = 0; y < closed->height(); ++y) {
        for (int x = 0; x < closed->width(); ++x) {
            bool same = std::equal(pixelAt(*closed, x, y), pixelAt(*closed, x, y) + 4, pixelAt(*open, x, y));
            if (same) continue;
            ++differing;
            bool inMouth = x < closed->width() / 4 && y > closed->height() * 2 / 5 && y < closed->height() * 7 / 10;
            outsideMouth += !inMouth;
        }
    }
    EXPECT_GT(differing, 200);
    EXPECT_EQ(outsideMouth, 0);
    // Facing left: the nose reaches into the left sixth of the picture.
    EXPECT_GT(countAlphaAtLeast(*closed, 0, 0, closed->width() / 6, closed->height(), 200), 0);
}

TEST(PictureTest, TheSecondCharacterFillsBothViewsTheShowGivesIt) {
    auto figure = picture("tolvane-transparent.png");
    ASSERT_TRUE(figure);
    int w = figure->width(), h = figure->height();
    // Standing on the fish the view shows 23 %..57 % of the height from the
    // bottom; at the end only the top 29 %. Each must be well covered.
    int bandTop = h - h * 57 / 100, bandBottom = h - h * 23 / 100;
    int band = countAlphaAtLeast(*figure, 0, bandTop, w, bandBottom, 200);
    EXPECT_GT(band, w * (bandBottom - bandTop) / 2);
    int head = countAlphaAtLeast(*figure, 0, 0, w, h * 29 / 100, 200);
    EXPECT_GT(head, w * (h * 29 / 100) / 2);
}

TEST(PictureTest, TheTitleLeavesTheBylineCornerClear) {
    auto title = picture("kelpwake-filled.png");
    ASSERT_TRUE(title);
    int w = title->width(), h = title->height();
    EXPECT_EQ(countAlphaAtLeast(*title, w * 75 / 100, h - h * 20 / 100, w * 95 / 100, h, 1), 0);
    // The lettering itself runs across the middle.
    for (int part = 0; part < 4; ++part) {
        SCOPED_TRACE(part);
        EXPECT_GT(countAlphaAtLeast(*title, part * w / 4, h / 4, (part + 1) * w / 4, h * 3 / 4, 250), 100);
    }
}

TEST(PictureTest, TheBloodIsARedWashUnderAClearWavyTopEdge) {
    auto blood = picture("blood.png");
    ASSERT_TRUE(blood);
    int w = blood->width(), h = blood->height();
    EXPECT_EQ(countAlphaAtLeast(*blood, 0, 0, w, 1, 1), 0);
    // The lower half is covered and red.
    for (int y = h / 2; y < h; y += 16) {
        for (int x = 0; x < w; x += 16) {
            const uint8_t* p = pixelAt(*blood, x, y);
            ASSERT_GT(p[3], 150) << x << "," << y;
            ASSERT_GT(p[0], 2 * p[1]) << x << "," << y;
            ASSERT_GT(p[0], 2 * p[2]) << x << "," << y;
        }
    }
    // The edge (first covered row of each column) rises and falls.
    int highest = h, lowest = 0;
    for (int x = 0; x < w; ++x) {
        int y = 0;
        while (y < h && alphaAt(*blood, x, y) < 128) ++y;
        highest = std::min(highest, y);
        lowest = std::max(lowest, y);
    }
    EXPECT_GT(lowest - highest, 8);
    EXPECT_LT(lowest, h / 4);
}

TEST(PictureTest, TheBubbleIsClearInsideWithABrightRim) {
    auto bubble = picture("bubble.png");
    ASSERT_TRUE(bubble);
    int size = bubble->width();
    int c = size / 2;
    EXPECT_LT(alphaAt(*bubble, c, c), 64);
    // Along sixteen rays from the centre, the rim is bright and dense.
    for (int ray = 0; ray < 16; ++ray) {
        double angle = ray * 2 * M_PI / 16;
        int brightest = 0, densest = 0;
        for (double r = 0.8 * c; r < c; r += 0.5) {
            int x = int(c + r * std::cos(angle)), y = int(c + r * std::sin(angle));
            const uint8_t* p = pixelAt(*bubble, x, y);
            densest = std::max(densest, int(p[3]));
            brightest = std::max(brightest, std::min({int(p[0]), int(p[1]), int(p[2])}));
        }
        EXPECT_GT(densest, 200) << "ray " << ray;
        EXPECT_GT(brightest, 200) << "ray " << ray;
    }
}

}  // namespace
