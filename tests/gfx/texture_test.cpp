// Texture loading as the GL sees it, its "Error" boxes, and the life of a
// texture's GL name among the sprites that share it.
#include "gfx/error_dialogs.h"
#include "gfx/sprite.h"
#include "gfx/texture.h"
#include "platform/dialog.h"
#include "platform/last_error.h"

#include "support/error_box_recorder.h"
#include "support/gl_test_context.h"
#include "support/png_test_files.h"
#include "support/test_textures.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <thread>
#include <type_traits>
#include <vector>

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif

// Every glDeleteTextures call of this process, name by name. The definition
// here is found before libGL's, which it then calls.
namespace {
std::vector<GLuint> deletedNames;
}

extern "C" void glDeleteTextures(GLsizei count, const GLuint* names) {
    using Real = void (*)(GLsizei, const GLuint*);
    static Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "glDeleteTextures"));
    deletedNames.insert(deletedNames.end(), names, names + count);
    real(count, names);
}

namespace {

using vesk_test::Rgba;
using Texts = std::vector<std::string>;

static_assert(std::has_virtual_destructor<Texture2D>::value, "textures are deleted through Texture2D pointers");
static_assert(!std::is_copy_constructible<Texture2D>::value, "a GL name has one owner");

size_t timesDeleted(GLuint name) { return size_t(std::count(deletedNames.begin(), deletedNames.end(), name)); }

GLint levelParameter(int level, GLenum parameter) {
    GLint value = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, parameter, &value);
    return value;
}

GLint textureParameter(GLenum parameter) {
    GLint value = -1;
    glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
    return value;
}

class GlTexture : public ::testing::Test {
protected:
    void SetUp() override {
        VESK_REQUIRE_GL();
        deletedNames.clear();
    }
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
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), texture.id);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 8);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_HEIGHT), 2);
    EXPECT_EQ(levelParameter(1, GL_TEXTURE_WIDTH), 0) << "no mipmaps";
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
    // The first row in texture memory (t = 0) is the picture's top row.
    std::vector<Rgba> uploaded(picture.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, uploaded.data());
    EXPECT_EQ(uploaded, picture);
}

TEST_F(GlTexture, AFileThatCannotBeLoadedGivesOneBoxAndLeavesNothingBound) {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const std::string paths[] = {
        "./data/../data/no-such-picture.png",
        vesk_test::writeBytes("not-a-picture.png", {'h', 'e', 'l', 'l', 'o'}),
        vesk_test::writeRgbaPng("too-wide.png", maxSize + 1, 1, std::vector<Rgba>(size_t(maxSize) + 1)),
    };
    for (const std::string& path : paths) {
        boxes.clear();
        glBindTexture(GL_TEXTURE_2D, 0);
        FileTexture2D texture(path.c_str());
        texture.load();
        EXPECT_EQ(boxes.texts(), Texts{"unable to load texture: " + path});
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << path;
        EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 0) << path;
    }
}

TEST_F(GlTexture, APendingErrorCodeIsReportedAtTheFirstCheckAndTheLoadGoesOn) {
    FileTexture2D texture(vesk_test::writeRgbaPng("good.png", 2, 2, std::vector<Rgba>(4)).c_str());
    setLastErrorCode(EACCES);
    texture.load();
    // The label, then glibc's text for EACCES, with nothing between.
    EXPECT_EQ(boxes.texts(), Texts{"FileTexture2D::load1Permission denied"});
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 2);
}

TEST_F(GlTexture, CopiesShareOneTextureDeletedOnceWithTheLastHolder) {
    GLuint name = 0;
    {
        Sprite original;
        original.texture = vesk_test::loadTestCard();
        name = original.texture->id;
        Sprite survivor(original);
        Sprite assigned;
        assigned = original;
        Sprite& same = assigned;
        assigned = same;
        original = Sprite();
        EXPECT_EQ(survivor.texture.use_count(), 2);
        EXPECT_EQ(timesDeleted(name), 0u);
        EXPECT_TRUE(glIsTexture(name));
    }
    EXPECT_EQ(timesDeleted(name), 1u);
    EXPECT_FALSE(glIsTexture(name));

    // setTexture: a shared old texture stays with its sharer; a sole one goes.
    const std::string path = vesk_test::writeRgbaPng("one-pixel.png", 1, 1, {Rgba{1, 2, 3, 4}});
    Sprite sprite;
    sprite.setTexture(new FileTexture2D(path.c_str()));
    const GLuint shared = sprite.texture->id;
    Sprite sharer(sprite);
    sprite.setTexture(new FileTexture2D(path.c_str()));
    const GLuint sole = sprite.texture->id;
    sprite.setTexture(new FileTexture2D(path.c_str()));
    EXPECT_EQ(timesDeleted(shared), 0u);
    EXPECT_EQ(timesDeleted(sole), 1u);
    // A texture that failed to load, or never loaded, still deletes its name.
    boost::shared_ptr<Texture2D> failed(new FileTexture2D("data/there-is-no-such-picture.png"));
    failed->load();
    const GLuint failedName = failed->id;
    failed.reset();
    EXPECT_EQ(timesDeleted(failedName), 1u);
}

TEST(CheckLastError, ReportsANonZeroCodeWithItsLabelAndAlwaysClearsIt) {
    vesk_test::ErrorBoxRecorder boxes;
    setLastErrorCode(0);
    checkLastError("Quiet::check");
    EXPECT_TRUE(boxes.texts().empty());
    setLastErrorCode(ENOENT);
    checkLastError("Loud::check1");
    EXPECT_EQ(lastErrorCode(), 0);
    checkLastError("Loud::check2");  // sees only what was raised since
    setLastErrorCode(123456);
    checkLastError("Odd::check");
    EXPECT_EQ(boxes.texts(), (Texts{"Loud::check1No such file or directory", "Odd::checkUnknown error 123456"}));

    // Each thread has its own code.
    std::thread([] { setLastErrorCode(EIO); }).join();
    EXPECT_EQ(lastErrorCode(), 0);
}

TEST(ErrorBox, StderrFallbackPrefixesError) {
    testing::internal::CaptureStderr();
    printErrorToStderr("unable to load texture: data/blood.png");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: unable to load texture: data/blood.png\n");
}

}  // namespace
