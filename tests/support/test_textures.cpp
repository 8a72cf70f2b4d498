#include "support/test_textures.h"

#include "support/png_test_files.h"

#include <gtest/gtest.h>

namespace vesk_test {

boost::shared_ptr<Texture2D> loadTestTexture(const std::string& name, int width, int height,
                                             const std::vector<Rgba>& pixels) {
    const std::string path = writeRgbaPng(name, width, height, pixels);
    boost::shared_ptr<Texture2D> texture(new FileTexture2D(path.c_str()));
    texture->load();
    GLint loadedWidth = 0, loadedHeight = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &loadedWidth);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &loadedHeight);
    EXPECT_EQ(loadedWidth, width) << path << " did not load";
    EXPECT_EQ(loadedHeight, height) << path << " did not load";
    return texture;
}

boost::shared_ptr<Texture2D> loadTestCard() {
    return loadTestTexture("test-card.png", 4, 4,
                           quadrantPicture(4, cardTopLeft, cardTopRight, cardBottomLeft, cardBottomRight));
}

}  // namespace vesk_test
