#include "platform/texture_upload.h"

#include <GL/gl.h>

void uploadRgbaTexture(int width, int height, const void* pixels) {
    // WebGL knows no component count as an internal format.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
}
