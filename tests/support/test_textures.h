// Textures made from pictures for pixel tests: the picture is written to a
// PNG file in the test folder and loaded as the show loads its textures.
// Needs the GL test context (support/gl_test_context.h).
#pragma once

#include "gfx/texture.h"
#include "support/png_test_files.h"

#include <boost/shared_ptr.hpp>

namespace vesk_test {

// A loaded FileTexture2D of the width x height picture `pixels` (top row
// first), left bound as load() leaves it. Adds a test failure if the
// texture did not receive the picture.
inline boost::shared_ptr<Texture2D> loadTestTexture(const std::string& name, int width, int height,
                                                    const std::vector<Rgba>& pixels) {
    const std::string path = writeRgbaPng(name, width, height, pixels);
    boost::shared_ptr<Texture2D> texture(new FileTexture2D(path.c_str()));
    texture->load();
    GLint size[2] = {0, 0};
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &size[0]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &size[1]);
    EXPECT_TRUE(size[0] == width && size[1] == height) << path << " did not load";
    return texture;
}

// The 4 x 4 test card: red top left, green top right, blue bottom left,
// white bottom right, all opaque. Each quadrant is 2 x 2 texels, so linear
// filtering gives exact colours away from the middle lines.
const Rgba cardTopLeft{255, 0, 0, 255};
const Rgba cardTopRight{0, 255, 0, 255};
const Rgba cardBottomLeft{0, 0, 255, 255};
const Rgba cardBottomRight{255, 255, 255, 255};
inline boost::shared_ptr<Texture2D> loadTestCard() {
    std::vector<Rgba> card;
    for (int i = 0; i < 16; ++i)
        card.push_back(i < 8 ? (i % 4 < 2 ? cardTopLeft : cardTopRight) : (i % 4 < 2 ? cardBottomLeft : cardBottomRight));
    return loadTestTexture("test-card.png", 4, 4, card);
}

}  // namespace vesk_test
