// Binds a texture for the length of a scope and unbinds it at the end.
// Holds a plain pointer: the caller keeps the texture alive.
#pragma once

#include "gfx/texture.h"

#include <cassert>

class TextureBinding {
public:
    explicit TextureBinding(Texture2D* texture) : texture(texture) {
        assert(texture && "TextureBinding needs a texture: check the holder's pointer before binding");
        texture->bind();
    }
    ~TextureBinding() { texture->unbind(); }

    TextureBinding(const TextureBinding&) = delete;
    TextureBinding& operator=(const TextureBinding&) = delete;

private:
    Texture2D* texture;
};
