// What a sprite puts on the screen, read back pixel by pixel. The window
// spans -1..1 on both axes at 100 x 100 pixels, so the default 0.2 x 0.2
// quad covers 10 x 10 pixels; samples sit at quadrant centres, 0.05 from the
// quad's centre, where the 4 x 4 test card gives exact colours.
#include "gfx/sprite.h"

#include "support/gl_test_context.h"
#include "support/test_textures.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using vesk_test::Frame;
using vesk_test::Rgba;
using vesk_test::rgbaNear;

const Rgba red = vesk_test::cardTopLeft;
const Rgba green = vesk_test::cardTopRight;
const Rgba blue = vesk_test::cardBottomLeft;
const Rgba white = vesk_test::cardBottomRight;
const Rgba black{0, 0, 0, 255};

// The colours seen at the four quadrant centres of a quad centred on
// (cx, cy): top left, top right, bottom left, bottom right.
void expectQuadrants(const Frame& frame, float cx, float cy, Rgba topLeft, Rgba topRight, Rgba bottomLeft,
                     Rgba bottomRight) {
    EXPECT_TRUE(rgbaNear(frame.atView(cx - 0.05f, cy + 0.05f), topLeft)) << "top left";
    EXPECT_TRUE(rgbaNear(frame.atView(cx + 0.05f, cy + 0.05f), topRight)) << "top right";
    EXPECT_TRUE(rgbaNear(frame.atView(cx - 0.05f, cy - 0.05f), bottomLeft)) << "bottom left";
    EXPECT_TRUE(rgbaNear(frame.atView(cx + 0.05f, cy - 0.05f), bottomRight)) << "bottom right";
}

Sprite cardSprite() {
    Sprite sprite;
    sprite.texture = vesk_test::loadTestCard();
    return sprite;
}

TEST(SpriteDrawing, DefaultSpriteIsAnUprightTenPixelSquareAtTheCentre) {
    VESK_REQUIRE_GL();
    vesk_test::clearFrame(0, 0, 0);
    Sprite sprite = cardSprite();
    sprite.draw();
    Frame frame;

    // The picture's top row at the top of the square.
    expectQuadrants(frame, 0, 0, red, green, blue, white);
    // Pixels 45..54 on both axes are the quad, 44 and 55 are not.
    EXPECT_TRUE(rgbaNear(frame.atPixel(45, 54), red));
    EXPECT_TRUE(rgbaNear(frame.atPixel(54, 54), green));
    EXPECT_TRUE(rgbaNear(frame.atPixel(45, 45), blue));
    EXPECT_TRUE(rgbaNear(frame.atPixel(54, 45), white));
    for (int along = 45; along <= 54; ++along) {
        EXPECT_EQ(frame.atPixel(44, along), black) << "left of the quad, row " << along;
        EXPECT_EQ(frame.atPixel(55, along), black) << "right of the quad, row " << along;
        EXPECT_EQ(frame.atPixel(along, 44), black) << "below the quad, column " << along;
        EXPECT_EQ(frame.atPixel(along, 55), black) << "above the quad, column " << along;
    }
}

TEST(SpriteDrawing, RotationTurnsAboutTheSpritesOwnCentreThenTheMoveApplies) {
    VESK_REQUIRE_GL();
    vesk_test::clearFrame(0, 0, 0);
    Sprite sprite = cardSprite();
    sprite.position = Vec2{0.5f, 0};
    sprite.rotation = 90;
    sprite.draw();
    Frame frame;

    // A quarter turn counter-clockwise: the top right corner comes to the
    // top left, the top left to the bottom left.
    expectQuadrants(frame, 0.5f, 0, green, white, red, blue);
    // Moved right along x, not along the turned axis (which would be up).
    EXPECT_EQ(frame.atView(0, 0), black);
    EXPECT_EQ(frame.atView(0, 0.5f), black);
    EXPECT_EQ(frame.atView(0.5f, 0.15f), black);
}

TEST(SpriteDrawing, ScaleAppliesAlongTheLocalAxesBeforeTheTurn) {
    VESK_REQUIRE_GL();
    vesk_test::clearFrame(0, 0, 0);
    Sprite sprite = cardSprite();
    sprite.scale = Vec2{2, 1};  // 0.4 wide, 0.2 high before the turn
    sprite.rotation = 90;       // so 0.2 wide, 0.4 high after it
    sprite.draw();
    Frame frame;

    EXPECT_NE(frame.atView(0, 0.18f), black);
    EXPECT_NE(frame.atView(0, -0.18f), black);
    EXPECT_EQ(frame.atView(0, 0.22f), black);
    EXPECT_EQ(frame.atView(0.15f, 0), black);
    EXPECT_EQ(frame.atView(-0.15f, 0), black);
}

TEST(SpriteDrawing, NegativeXScaleMirrorsLeftToRight) {
    VESK_REQUIRE_GL();
    vesk_test::clearFrame(0, 0, 0);
    Sprite sprite = cardSprite();
    sprite.scale = Vec2{-1, 1};
    sprite.draw();
    Frame frame;
    expectQuadrants(frame, 0, 0, green, red, white, blue);
}

TEST(SpriteDrawing, RectWithY0AboveY1TurnsThePictureUpsideDown) {
    VESK_REQUIRE_GL();
    vesk_test::clearFrame(0, 0, 0);
    Sprite sprite = cardSprite();
    sprite.rect = QuadRect{-0.1f, 0.1f, 0.1f, -0.1f};
    sprite.draw();
    Frame frame;
    expectQuadrants(frame, 0, 0, blue, white, red, green);
}

TEST(SpriteDrawing, TexCoordsPickAPartOfThePictureWithT0AtTheTop) {
    VESK_REQUIRE_GL();
    vesk_test::clearFrame(0, 0, 0);
    Sprite sprite = cardSprite();
    // s 0.5..1 and t 0..0.5 are the top right quadrant alone, stretched
    // over the whole quad; t0 = 0 (the top row) goes with the y1 edge.
    sprite.texCoords = TexCoordRect{0.5f, 0, 1, 0.5f};
    sprite.draw();
    Frame frame;
    expectQuadrants(frame, 0, 0, green, green, green, green);
}

TEST(SpriteDrawing, TransparentColourLeavesTheFrameUnchanged) {
    VESK_REQUIRE_GL();
    vesk_test::clearFrame(0.2f, 0.4f, 0.6f);
    Sprite sprite = cardSprite();
    const Frame before;
    sprite.color = Color{1, 1, 1, 0};
    sprite.draw();
    const Frame after;
    EXPECT_TRUE(before.pixels() == after.pixels());
    EXPECT_TRUE(rgbaNear(after.atView(0, 0), Rgba{51, 102, 153, 255}));
}

TEST(SpriteDrawing, RedColourKeepsOnlyThePicturesRedChannel) {
    VESK_REQUIRE_GL();
    vesk_test::clearFrame(0, 0, 1);  // blue, so that a drawn black shows
    Sprite sprite = cardSprite();
    sprite.color = Color{1, 0, 0, 1};
    sprite.draw();
    Frame frame;
    expectQuadrants(frame, 0, 0, red, black, black, red);
}

TEST(SpriteDrawing, PictureAlphaBlendsOverTheFrame) {
    VESK_REQUIRE_GL();
    vesk_test::clearFrame(0, 0, 1);
    Sprite sprite;
    // Red at alpha 128 over blue: 255 * 128/255 red, 255 * 127/255 blue.
    sprite.texture = vesk_test::loadTestTexture("half-red.png", 2, 2, std::vector<Rgba>(4, Rgba{255, 0, 0, 128}));
    sprite.draw();
    Frame frame;
    expectQuadrants(frame, 0, 0, Rgba{128, 0, 127, 255}, Rgba{128, 0, 127, 255}, Rgba{128, 0, 127, 255},
                    Rgba{128, 0, 127, 255});
}

TEST(SpriteDrawing, ColourAlphaIsTheSpritesOpacity) {
    VESK_REQUIRE_GL();
    vesk_test::clearFrame(0, 0, 1);
    Sprite sprite = cardSprite();
    sprite.color = Color{1, 1, 1, 0.5f};
    sprite.draw();
    Frame frame;
    // Half the card's colour plus half the blue behind it.
    expectQuadrants(frame, 0, 0, Rgba{128, 0, 128, 255}, Rgba{0, 128, 128, 255}, Rgba{0, 0, 255, 255},
                    Rgba{128, 128, 255, 255});
}

std::array<float, 16> modelview() {
    std::array<float, 16> matrix{};
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix.data());
    return matrix;
}

TEST(SpriteDrawing, DrawRestoresTheMatrixDisablesTexturingAndLeavesItsColour) {
    VESK_REQUIRE_GL();
    Sprite sprite = cardSprite();
    ASSERT_TRUE(glIsEnabled(GL_TEXTURE_2D));  // load() leaves it on
    sprite.position = Vec2{0.25f, -0.5f};
    sprite.rotation = 30;
    sprite.scale = Vec2{-2, 0.5f};
    sprite.color = Color{0.25f, 0.5f, 0.75f, 1};
    glTranslatef(0.125f, 0.25f, 0);
    const std::array<float, 16> before = modelview();

    sprite.draw();

    EXPECT_EQ(modelview(), before);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), sprite.texture->id) << "unbinding leaves the binding";
    std::array<float, 4> current{};
    glGetFloatv(GL_CURRENT_COLOR, current.data());
    EXPECT_EQ(current, (std::array<float, 4>{0.25f, 0.5f, 0.75f, 1}));
}

TEST(SpriteDrawing, SpriteWithoutTextureDrawsNothing) {
    VESK_REQUIRE_GL();
    vesk_test::clearFrame(0, 0, 0);
    Sprite sprite;
    ASSERT_FALSE(sprite.texture);
    const std::array<float, 16> before = modelview();
    sprite.draw();
    Frame frame;
    EXPECT_EQ(frame.atView(0, 0), black);
    EXPECT_EQ(frame.atView(0.05f, -0.05f), black);
    EXPECT_EQ(modelview(), before);
}

TEST(SpriteDrawing, DefaultsAreAWhiteCentredSquareWithoutTexture) {
    // No GL needed: a default sprite makes no GL call.
    Sprite sprite;
    EXPECT_EQ(sprite.position, (Vec2{0, 0}));
    EXPECT_EQ(sprite.color, (Color{1, 1, 1, 1}));
    EXPECT_EQ(sprite.rotation, 0);
    EXPECT_EQ(sprite.scale, (Vec2{1, 1}));
    EXPECT_EQ(sprite.rect.x0, -0.1f);
    EXPECT_EQ(sprite.rect.y0, -0.1f);
    EXPECT_EQ(sprite.rect.x1, 0.1f);
    EXPECT_EQ(sprite.rect.y1, 0.1f);
    EXPECT_EQ(sprite.texCoords.s0, 0);
    EXPECT_EQ(sprite.texCoords.t0, 0);
    EXPECT_EQ(sprite.texCoords.s1, 1);
    EXPECT_EQ(sprite.texCoords.t1, 1);
    EXPECT_FALSE(sprite.texture);
}

}  // namespace
