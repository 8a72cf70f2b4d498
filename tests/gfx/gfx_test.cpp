// What a sprite puts on the screen, read back pixel by pixel; texture
// loading as the GL sees it, its "Error" boxes, and the life of a texture's
// GL name among the sprites that share it. The window spans -1..1 on both
// axes at 100 x 100 pixels, so the default 0.2 x 0.2 quad covers pixels
// 45..54; samples sit at quadrant centres, 0.05 from the quad's centre,
// where the 4 x 4 test card gives exact colours.
#include "gfx/error_dialogs.h"
#include "gfx/image_prefetch.h"
#include "gfx/sprite.h"
#include "platform/last_error.h"
#include "support/error_box_recorder.h"
#include "support/gl_test_context.h"
#include "support/png_test_files.h"
#include "support/test_textures.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <thread>

namespace {

using namespace vesk_test;

const Rgba R = cardTopLeft, G = cardTopRight, B = cardBottomLeft, W = cardBottomRight, K{0, 0, 0, 255};

// The colours at the quadrant centres of a quad centred on (x, y): top
// left, top right, bottom left, bottom right.
void expectQuadrants(float x, float y, std::array<Rgba, 4> expected) {
    const Frame f;
    const Rgba seen[] = {f.atView(x - 0.05f, y + 0.05f), f.atView(x + 0.05f, y + 0.05f),
                         f.atView(x - 0.05f, y - 0.05f), f.atView(x + 0.05f, y - 0.05f)};
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(rgbaNear(seen[i], expected[i])) << "quadrant " << i;
}

class GlSprite : public ::testing::Test {
protected:
    void SetUp() override { VESK_REQUIRE_GL(); clearFrame(0, 0, 0); sprite.texture = loadTestCard(); }
    Sprite sprite;
};

TEST_F(GlSprite, DefaultSpriteIsAnUprightTenPixelSquareAtTheCentre) {
    sprite.draw();
    expectQuadrants(0, 0, {R, G, B, W});  // the picture's top row at the top
    const Frame frame;
    for (int along = 45; along <= 54; ++along)  // columns and rows 44 and 55 are left, right, below and above
        for (const auto& p : {std::make_pair(44, along), {55, along}, {along, 44}, {along, 55}})
            EXPECT_EQ(frame.atPixel(p.first, p.second), K) << p.first << ", " << p.second;
}

TEST_F(GlSprite, TransformsAndTextureCoordinatesPlaceThePicture) {
    const QuadRect square{-0.1f, -0.1f, 0.1f, 0.1f};
    const struct { Vec2 position; float rotation; Vec2 scale; QuadRect rect; TexCoordRect texCoords; std::array<Rgba, 4> quadrants; } cases[] = {
        // A quarter turn counter-clockwise about its own centre, then the move.
        {{0.5f, 0}, 90, {1, 1}, square, {0, 0, 1, 1}, {G, W, R, B}},
        {{-0.5f, -0.25f}, 0, {-1, 1}, square, {0, 0, 1, 1}, {G, R, W, B}},  // mirrored
        {{0, 0}, 0, {1, 1}, {-0.1f, 0.1f, 0.1f, -0.1f}, {0, 0, 1, 1}, {B, W, R, G}},
        // s 0.5..1 and t 0..0.5 are the top right quadrant; t0 goes with y1.
        {{0, 0}, 0, {1, 1}, square, {0.5f, 0, 1, 0.5f}, {G, G, G, G}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        clearFrame(0, 0, 0);
        sprite.position = c.position, sprite.rotation = c.rotation, sprite.scale = c.scale, sprite.rect = c.rect, sprite.texCoords = c.texCoords;
        sprite.draw();
        expectQuadrants(c.position.x, c.position.y, c.quadrants);
        const Frame frame;
        EXPECT_EQ(frame.atView(c.position.x, c.position.y + 0.15f), K);
        EXPECT_EQ(frame.atView(c.position.x + 0.15f, c.position.y), K);
    }
    clearFrame(0, 0, 0);
    sprite.rect = square, sprite.rotation = 90, sprite.scale = Vec2{2, 1};  // 0.4 wide before the quarter turn, 0.4 high after it
    sprite.draw();
    const Frame frame;
    EXPECT_TRUE(frame.atView(0, 0.18f) != K && frame.atView(0, -0.18f) != K);
    EXPECT_TRUE(frame.atView(0, 0.22f) == K && frame.atView(0.15f, 0) == K);
}

TEST_F(GlSprite, ColourModulatesAndAlphaBlendsOverTheFrame) {
    clearFrame(0, 0, 1);  // blue, so that a drawn black shows
    sprite.color = Color{1, 0, 0, 1}, sprite.draw();
    expectQuadrants(0, 0, {R, K, K, R});
    clearFrame(0, 0, 1);  // half the card's colour plus half the blue behind it
    sprite.color = Color{1, 1, 1, 0.5f}, sprite.draw();
    expectQuadrants(0, 0, {Rgba{128, 0, 128, 255}, {0, 128, 128, 255}, {0, 0, 255, 255}, {128, 128, 255, 255}});
}

TEST_F(GlSprite, DrawRestoresTheMatrixDisablesTexturingAndLeavesItsColour) {
    const auto modelview = [] { std::array<float, 16> matrix{}; glGetFloatv(GL_MODELVIEW_MATRIX, matrix.data()); return matrix; };
    sprite.position = Vec2{0.25f, -0.5f}, sprite.rotation = 30, sprite.scale = Vec2{-2, 0.5f}, sprite.color = Color{0.25f, 0.5f, 0.75f, 1};
    glTranslatef(0.125f, 0.25f, 0);
    const std::array<float, 16> before = modelview();
    sprite.draw();
    EXPECT_EQ(modelview(), before);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    std::array<float, 4> current{};
    glGetFloatv(GL_CURRENT_COLOR, current.data());
    EXPECT_EQ(current, (std::array<float, 4>{0.25f, 0.5f, 0.75f, 1}));
    clearFrame(0, 0, 0), Sprite().draw();  // without a texture nothing is drawn
    EXPECT_EQ(modelview(), before);
    EXPECT_EQ(Frame().atView(0, 0), K);
}

using Texts = std::vector<std::string>;

static_assert(std::has_virtual_destructor<Texture2D>::value, "textures are deleted through Texture2D pointers");

GLint parameter(GLenum name, int level = -1) {
    GLint value = -1;
    level < 0 ? glGetTexParameteriv(GL_TEXTURE_2D, name, &value) : glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    return value;
}

TEST(GlTexture, UploadsTheImageAsItIsAtLevelZeroWithLinearClampedSampling) {
    VESK_REQUIRE_GL();
    // 8 x 2 pixels that all differ: a swapped size, row order or channel shows.
    std::vector<Rgba> picture;
    for (int i = 0; i < 16; ++i) picture.push_back(Rgba{uint8_t(i * 15), uint8_t(i / 8 * 200), uint8_t(100 + i), 250});
    FileTexture2D texture(vesk_test::writeRgbaPng("striped.png", 8, 2, picture).c_str());
    texture.load();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ((std::vector<GLint>{parameter(GL_TEXTURE_WIDTH, 0), parameter(GL_TEXTURE_HEIGHT, 0),
                                  parameter(GL_TEXTURE_MIN_FILTER), parameter(GL_TEXTURE_MAG_FILTER),
                                  parameter(GL_TEXTURE_WRAP_S), parameter(GL_TEXTURE_WRAP_T)}),
              (std::vector<GLint>{8, 2, GL_LINEAR, GL_LINEAR, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE}));
    // The first row in texture memory (t = 0) is the picture's top row.
    std::vector<Rgba> uploaded(picture.size());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, uploaded.data());
    EXPECT_EQ(uploaded, picture);
}

TEST(GlTexture, AFileThatCannotBeLoadedGivesOneBoxAndLeavesNothingBound) {
    VESK_REQUIRE_GL();
    vesk_test::ErrorBoxRecorder boxes;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    for (const std::string& path :
         {std::string("./data/../data/no-such-picture.png"), vesk_test::writeBytes("not-a-png.png", {'h', 'i'}),
          vesk_test::writeRgbaPng("too-wide.png", maxSize + 1, 1, std::vector<Rgba>(size_t(maxSize) + 1))}) {
        boxes.clear();
        FileTexture2D texture(path.c_str());
        texture.load();
        EXPECT_EQ(boxes.texts(), Texts{"unable to load texture: " + path});
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << path;
        EXPECT_EQ(parameter(GL_TEXTURE_WIDTH, 0), 0) << path;
    }
}

TEST(GlTexture, CopiesShareOneTextureDeletedWithTheLastHolder) {
    VESK_REQUIRE_GL();
    Sprite original, copy;
    original.texture = vesk_test::loadTestCard();
    const GLuint name = original.texture->id;
    copy = original;
    original = Sprite();
    EXPECT_TRUE(glIsTexture(name));  // the copy holds it
    copy = Sprite();
    EXPECT_FALSE(glIsTexture(name));
}

TEST(CheckLastError, ReportsANonZeroCodeWithItsLabelAndAlwaysClearsIt) {
    vesk_test::ErrorBoxRecorder boxes;
    setLastErrorCode(0);
    checkLastError("Quiet::check");
    setLastErrorCode(ENOENT);
    checkLastError("Loud::check1");  // the label, then the system's text, nothing between
    checkLastError("Loud::check2");  // sees only what was raised since
    setLastErrorCode(123456);
    checkLastError("Odd::check");
    EXPECT_EQ(boxes.texts(), (Texts{"Loud::check1No such file or directory", "Odd::checkUnknown error 123456"}));
    std::thread([] { setLastErrorCode(EIO); }).join();  // each thread has its own code
    EXPECT_EQ(lastErrorCode(), 0);
}

TEST(ImagePrefetch, EachImageAskedForIsHandedOutOnceAndNothingElse) {
    const std::string wide = writeRgbaPng("wide", 5, 1, std::vector<Rgba>(5, R)), tall = writeRgbaPng("tall", 1, 3, {G, B, W});
    prefetchImages({wide, testFilePath("missing.png"), tall});
    prefetchImages({wide});  // only the first call counts
    const std::unique_ptr<DecodedImage> second = takePrefetchedImage(tall), first = takePrefetchedImage(wide);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(std::make_pair(first->width(), second->height()), std::make_pair(5, 3));
    EXPECT_FALSE(takePrefetchedImage(wide) || takePrefetchedImage(testFilePath("missing.png")) || takePrefetchedImage("other.png"));
}

}  // namespace
