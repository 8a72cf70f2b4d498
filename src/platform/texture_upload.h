// Hands decoded pixels to the GL: level 0 of the texture bound to
// GL_TEXTURE_2D gets `width` x `height` pixels of 8-bit RGBA, rows one after
// another, as platform/image.h decodes them. The desktop's GL takes them as
// they are; WebGL wants the internal format named. GL thread only, with the
// texture bound; errors are the GL's (the caller checks them).
#pragma once

void uploadRgbaTexture(int width, int height, const void* pixels);
