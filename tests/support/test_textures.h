// Textures made from pictures for pixel tests: the picture is written to a
// PNG file in the test folder and loaded as the show loads its textures.
// Needs the GL test context (support/gl_test_context.h).
#pragma once

#include "gfx/texture.h"
#include "support/png_test_files.h"

#include <boost/shared_ptr.hpp>

namespace vesk_test {

// A loaded FileTexture2D of the width x height picture `pixels` (top row
// first), left bound as load() leaves it. A texture that did not load shows
// in the colours a test reads back.
inline boost::shared_ptr<Texture2D> loadTestTexture(const std::string& name, int width, int height,
                                                    const std::vector<Rgba>& pixels) {
    boost::shared_ptr<Texture2D> texture(new FileTexture2D(writeRgbaPng(name, width, height, pixels).c_str()));
    texture->load();
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
