// Texture loading as the GL sees it, its "Error" boxes, and the life of a
// texture's GL name among the sprites that share it.
#include "gfx/error_dialogs.h"
#include "gfx/sprite.h"
#include "platform/last_error.h"
#include "support/error_box_recorder.h"
#include "support/gl_test_context.h"
#include "support/png_test_files.h"
#include "support/test_textures.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <thread>

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif

namespace {

using vesk_test::Rgba;
using Texts = std::vector<std::string>;

static_assert(std::has_virtual_destructor<Texture2D>::value, "textures are deleted through Texture2D pointers");

GLint parameter(GLenum name, int level = -1) {
    GLint value = -1;
    if (level < 0) glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    if (level >= 0) glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    return value;
}

class GlTexture : public ::testing::Test {
protected:
    void SetUp() override { VESK_REQUIRE_GL(); }
    vesk_test::ErrorBoxRecorder boxes;
};

TEST_F(GlTexture, UploadsTheImageAsItIsAtLevelZeroWithLinearClampedSampling) {
    // 8 x 2 pixels that all differ: a swapped size, row order or channel shows.
    std::vector<Rgba> picture;
    for (int i = 0; i < 16; ++i) picture.push_back(Rgba{uint8_t(i * 15), uint8_t(i / 8 * 200), uint8_t(100 + i), 250});
    FileTexture2D texture(vesk_test::writeRgbaPng("striped.png", 8, 2, picture).c_str());
    texture.load();
    EXPECT_TRUE(boxes.texts().empty());
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ((std::vector<GLint>{parameter(GL_TEXTURE_WIDTH, 0), parameter(GL_TEXTURE_HEIGHT, 0),
                                  parameter(GL_TEXTURE_MIN_FILTER), parameter(GL_TEXTURE_MAG_FILTER),
                                  parameter(GL_TEXTURE_WRAP_S), parameter(GL_TEXTURE_WRAP_T)}),
              (std::vector<GLint>{8, 2, GL_LINEAR, GL_LINEAR, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE}));
    // The first row in texture memory (t = 0) is the picture's top row.
    std::vector<Rgba> uploaded(picture.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, uploaded.data());
    EXPECT_EQ(uploaded, picture);
}

TEST_F(GlTexture, AFileThatCannotBeLoadedGivesOneBoxAndLeavesNothingBound) {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    for (const std::string& path :
         {std::string("./data/../data/no-such-picture.png"), vesk_test::writeBytes("not-a-png.png", {'h', 'i'}),
          vesk_test::writeRgbaPng("too-wide.png", maxSize + 1, 1, std::vector<Rgba>(size_t(maxSize) + 1))}) {
        boxes.clear();
        glBindTexture(GL_TEXTURE_2D, 0);
        FileTexture2D texture(path.c_str());
        texture.load();
        EXPECT_EQ(boxes.texts(), Texts{"unable to load texture: " + path});
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << path;
        EXPECT_EQ(parameter(GL_TEXTURE_WIDTH, 0), 0) << path;
    }
}

TEST_F(GlTexture, CopiesShareOneTextureDeletedWithTheLastHolder) {
    GLuint name = 0;
    {
        Sprite original;
        original.texture = vesk_test::loadTestCard();
        name = original.texture->id;
        Sprite copy(original), assigned;
        assigned = copy = original;
        original = copy = Sprite();
        EXPECT_TRUE(glIsTexture(name));
    }
    EXPECT_FALSE(glIsTexture(name));
    // setTexture: a shared old texture stays with its sharer, a sole one goes.
    const std::string path = vesk_test::writeRgbaPng("one-pixel.png", 1, 1, {Rgba{1, 2, 3, 4}});
    Sprite sprite;
    sprite.setTexture(new FileTexture2D(path.c_str()));
    sprite.texture->load();
    const Sprite sharer(sprite);
    sprite.setTexture(new FileTexture2D(path.c_str()));
    sprite.texture->load();
    name = sprite.texture->id;
    sprite.setTexture(new FileTexture2D(path.c_str()));
    EXPECT_FALSE(glIsTexture(name));
    EXPECT_TRUE(glIsTexture(sharer.texture->id));
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

}  // namespace
