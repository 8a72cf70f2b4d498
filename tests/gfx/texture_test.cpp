// Texture loading as the GL sees it, and the life of a texture's GL name
// among the sprites that share it.
#include "gfx/sprite.h"
#include "gfx/texture.h"

#include "support/error_box_recorder.h"
#include "support/gl_test_context.h"
#include "support/png_test_files.h"
#include "support/test_textures.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
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
    for (GLsizei i = 0; i < count; ++i) deletedNames.push_back(names[i]);
    real(count, names);
}

namespace {

using vesk_test::Rgba;

static_assert(std::is_abstract<Texture2D>::value, "Texture2D is the abstract texture");
static_assert(std::has_virtual_destructor<Texture2D>::value, "textures are deleted through Texture2D pointers");
static_assert(!std::is_copy_constructible<Texture2D>::value && !std::is_copy_assignable<Texture2D>::value,
              "a GL name has one owner");
static_assert(std::is_copy_constructible<Sprite>::value && std::is_copy_assignable<Sprite>::value,
              "sprites are values");

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

GLuint boundTexture() {
    GLint name = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return GLuint(name);
}

// An 8 x 2 picture whose every pixel differs, so that a swapped size or a
// flipped row order shows.
std::vector<Rgba> stripedPicture() {
    std::vector<Rgba> pixels;
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 8; ++column)
            pixels.push_back(Rgba{uint8_t(column * 30), uint8_t(row * 200), uint8_t(100 + column), uint8_t(255 - row)});
    return pixels;
}

TEST(TextureLoading, UploadsLevelZeroAtTheImagesSizeWithLinearClampedSampling) {
    VESK_REQUIRE_GL();
    const std::vector<Rgba> picture = stripedPicture();
    const std::string path = vesk_test::writeRgbaPng("striped.png", 8, 2, picture);
    FileTexture2D texture(path.c_str());
    vesk_test::ErrorBoxRecorder boxes;
    texture.load();
    EXPECT_TRUE(boxes.texts().empty());

    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(boundTexture(), texture.id);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 8);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_HEIGHT), 2);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), 4) << "four components, as requested";
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

TEST(TextureLoading, UnbindDisablesTexturingAndKeepsTheBinding) {
    VESK_REQUIRE_GL();
    boost::shared_ptr<Texture2D> texture = vesk_test::loadTestCard();
    texture->unbind();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(boundTexture(), texture->id);

    glBindTexture(GL_TEXTURE_2D, 0);
    texture->bind();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(boundTexture(), texture->id);
}

TEST(TextureLoading, ImageLargerThanTheGlTakesIsReportedLikeAMissingFile) {
    VESK_REQUIRE_GL();
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    ASSERT_GT(maxSize, 0);
    const std::string path =
        vesk_test::writeRgbaPng("too-wide.png", maxSize + 1, 1, std::vector<Rgba>(size_t(maxSize) + 1));
    FileTexture2D texture(path.c_str());
    vesk_test::ErrorBoxRecorder boxes;
    texture.load();
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"unable to load texture: " + path});
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

// ---- Sharing and deletion ----------------------------------------------

TEST(TextureLife, CopiesShareOneTextureDeletedOnceWithTheLastHolder) {
    VESK_REQUIRE_GL();
    deletedNames.clear();
    GLuint name = 0;
    {
        Sprite original;
        original.texture = vesk_test::loadTestCard();
        name = original.texture->id;
        ASSERT_TRUE(glIsTexture(name));
        {
            Sprite copy(original);
            Sprite assigned;
            assigned = original;
            EXPECT_EQ(copy.texture.get(), original.texture.get());
            EXPECT_EQ(assigned.texture.get(), original.texture.get());
            EXPECT_EQ(original.texture.use_count(), 3);
        }
        EXPECT_EQ(original.texture.use_count(), 1);
        EXPECT_EQ(timesDeleted(name), 0u);
        EXPECT_TRUE(glIsTexture(name));
    }
    EXPECT_EQ(timesDeleted(name), 1u);
    EXPECT_FALSE(glIsTexture(name));
}

TEST(TextureLife, TheCopyOutlivingTheOriginalKeepsTheTexture) {
    VESK_REQUIRE_GL();
    deletedNames.clear();
    std::optional<Sprite> original(std::in_place);
    original->texture = vesk_test::loadTestCard();
    const GLuint name = original->texture->id;
    Sprite survivor(*original);
    original.reset();
    EXPECT_EQ(timesDeleted(name), 0u);

    // Still drawable: the card's top left quadrant is red.
    vesk_test::clearFrame(0, 0, 0);
    survivor.draw();
    EXPECT_TRUE(vesk_test::rgbaNear(vesk_test::Frame().atView(-0.05f, 0.05f), vesk_test::cardTopLeft));
    survivor.texture.reset();
    EXPECT_EQ(timesDeleted(name), 1u);
}

TEST(TextureLife, AssigningASpriteToItselfOrToASharerKeepsTheTexture) {
    VESK_REQUIRE_GL();
    deletedNames.clear();
    Sprite sprite;
    sprite.texture = vesk_test::loadTestCard();
    const GLuint name = sprite.texture->id;
    Texture2D* texture = sprite.texture.get();

    Sprite& same = sprite;
    sprite = same;
    EXPECT_EQ(sprite.texture.get(), texture);
    EXPECT_EQ(sprite.texture.use_count(), 1);

    Sprite sharer(sprite);
    sprite = sharer;
    sharer = sprite;
    EXPECT_EQ(sprite.texture.use_count(), 2);
    EXPECT_EQ(timesDeleted(name), 0u);
    EXPECT_TRUE(glIsTexture(name));
}

TEST(TextureLife, SetTextureOverTheSoleHolderDeletesTheOldTexture) {
    VESK_REQUIRE_GL();
    deletedNames.clear();
    const std::string path = vesk_test::writeRgbaPng("one-pixel.png", 1, 1, {Rgba{1, 2, 3, 4}});
    Sprite sprite;
    sprite.setTexture(new FileTexture2D(path.c_str()));
    const GLuint oldName = sprite.texture->id;
    Sprite sharer(sprite);

    // Shared: replacing it in one sprite leaves it to the other.
    sprite.setTexture(new FileTexture2D(path.c_str()));
    const GLuint middleName = sprite.texture->id;
    EXPECT_NE(middleName, oldName);
    EXPECT_EQ(timesDeleted(oldName), 0u);
    EXPECT_EQ(sharer.texture->id, oldName);

    // Sole holder: the old texture goes at once, the new one stays.
    sprite.setTexture(new FileTexture2D(path.c_str()));
    EXPECT_EQ(timesDeleted(middleName), 1u);
    EXPECT_EQ(timesDeleted(sprite.texture->id), 0u);
    sprite.texture->load();
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 1);
}

TEST(TextureLife, AFailedOrMissingLoadStillDeletesItsName) {
    VESK_REQUIRE_GL();
    deletedNames.clear();
    vesk_test::ErrorBoxRecorder boxes;
    GLuint failedName = 0, neverLoadedName = 0;
    {
        boost::shared_ptr<Texture2D> failed(new FileTexture2D("data/there-is-no-such-picture.png"));
        boost::shared_ptr<Texture2D> neverLoaded(new FileTexture2D("data/nor-this-one.png"));
        failed->load();
        failedName = failed->id;
        neverLoadedName = neverLoaded->id;
        EXPECT_NE(failedName, 0u);
        EXPECT_NE(neverLoadedName, 0u);
    }
    EXPECT_EQ(boxes.texts().size(), 1u);
    EXPECT_EQ(timesDeleted(failedName), 1u);
    EXPECT_EQ(timesDeleted(neverLoadedName), 1u);
}

// Counts destructions, to show which destructor a shared pointer runs.
class CountingTexture : public FileTexture2D {
public:
    explicit CountingTexture(int* destroyed) : FileTexture2D("counting.png"), destroyed(destroyed) {}
    ~CountingTexture() override { ++*destroyed; }
    int* destroyed;
};

TEST(TextureLife, ReleasedThroughTheBaseTheWholeObjectIsDestroyed) {
    VESK_REQUIRE_GL();
    deletedNames.clear();
    int destroyed = 0;
    GLuint name = 0;
    {
        Texture2D* plain = new CountingTexture(&destroyed);
        name = plain->id;
        boost::shared_ptr<Texture2D> holder(plain);  // records only the base type
    }
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(timesDeleted(name), 1u);
}

}  // namespace
