// A textured quad. Copies share the texture; the last holder's release
// deletes it. Sprites are drawn and changed on the GL thread only.
#pragma once

#include "gfx/renderable.h"
#include "gfx/texture.h"

#include <boost/shared_ptr.hpp>

struct QuadRect {
    float x0, y0, x1, y1;  // two opposite corners, local units
};

struct TexCoordRect {
    float s0, t0, s1, t1;
};

class Sprite : public Renderable {
public:
    // A white 0.2 x 0.2 square centred on its position, without texture.
    Sprite();

    // Draws the quad with `texture`; a sprite without texture draws nothing.
    void render() override;

    // Takes ownership of a newly created texture and releases the old one.
    void setTexture(FileTexture2D* newTexture);

    QuadRect rect;
    boost::shared_ptr<Texture2D> texture;
    // (s0, t1) goes with (x0, y0): t = 1 is the image's bottom row, so
    // images appear upright when y0 < y1.
    TexCoordRect texCoords;
};
