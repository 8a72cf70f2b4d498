#include "platform/texture_upload.h"

#include <GL/gl.h>

void uploadRgbaTexture(int width, int height, const void* pixels) {
    // 4: the old component count, which the fixed-function GL takes as RGBA.
    glTexImage2D(GL_TEXTURE_2D, 0, 4, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
}
