// Seen first by every file of the browser build. WebGL accepts only named
// internal formats for glTexImage2D, not the component count 4 that the
// desktop's GL takes as RGBA, so the calls go through webTexImage2D, which
// names it (gl_texture_format.cpp). The callers' code stays as it is.
#pragma once

#include <GL/gl.h>

#ifdef __cplusplus
extern "C" {
#endif
void webTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                   GLenum format, GLenum type, const void* pixels);
#ifdef __cplusplus
}
#endif

#define glTexImage2D webTexImage2D
