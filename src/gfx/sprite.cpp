#include "gfx/sprite.h"

#include "gfx/texture_binding.h"

#include <GL/gl.h>

Sprite::Sprite() : rect{-0.1f, -0.1f, 0.1f, 0.1f}, texCoords{0, 0, 1, 1} {}

void Sprite::render() {
    if (!texture) return;
    TextureBinding binding(texture.get());
    glBegin(GL_QUADS);
    glTexCoord2f(texCoords.s0, texCoords.t1);
    glVertex2f(rect.x0, rect.y0);
    glTexCoord2f(texCoords.s1, texCoords.t1);
    glVertex2f(rect.x1, rect.y0);
    glTexCoord2f(texCoords.s1, texCoords.t0);
    glVertex2f(rect.x1, rect.y1);
    glTexCoord2f(texCoords.s0, texCoords.t0);
    glVertex2f(rect.x0, rect.y1);
    glEnd();
}

void Sprite::setTexture(FileTexture2D* newTexture) {
    // The shared pointer records a deleter for the derived type; if making it
    // throws, it deletes newTexture itself and `texture` is untouched.
    boost::shared_ptr<Texture2D> owner(newTexture);
    texture.swap(owner);
}
