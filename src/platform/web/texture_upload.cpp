#include <GL/gl.h>

#undef glTexImage2D

extern "C" void webTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                              GLint border, GLenum format, GLenum type, const void* pixels) {
    // The old component counts: 3 means RGB, 4 means RGBA.
    if (internalFormat == 3) internalFormat = GL_RGB;
    if (internalFormat == 4) internalFormat = GL_RGBA;
    glTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
}
