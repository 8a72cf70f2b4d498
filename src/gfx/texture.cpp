#include "gfx/texture.h"

#include "gfx/error_dialogs.h"
#include "gfx/image_prefetch.h"
#include "platform/image.h"
#include "platform/texture_upload.h"

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif

Texture2D::Texture2D() : id(0) { glGenTextures(1, &id); }

Texture2D::~Texture2D() { glDeleteTextures(1, &id); }

void Texture2D::unbind() {}

// A null path is kept as "", which no file has: load() then reports it.
FileTexture2D::FileTexture2D(const char* fileName) : fileName(fileName ? fileName : "") {}

FileTexture2D::~FileTexture2D() {}

void FileTexture2D::bind() {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, id);
}

void FileTexture2D::unbind() { glDisable(GL_TEXTURE_2D); }

namespace {
// Larger images would make glTexImage2D fail without a word; refusing them
// in the decoder gives the "unable to load texture" box instead.
int maxTextureSize() {
    GLint size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    return size > 0 ? size : 2048;  // 0 only without a current context
}
}  // namespace

void FileTexture2D::load() {
    const int limit = maxTextureSize();
    std::unique_ptr<DecodedImage> image = takePrefetchedImage(fileName);
    if (!image || image->width() > limit || image->height() > limit) image = decodePngFile(fileName.c_str(), limit);
    if (!image) {
        showError("unable to load texture: " + fileName);
        return;
    }
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    checkLastError("FileTexture2D::load1");
    uploadRgbaTexture(image->width(), image->height(), image->pixels());
    checkLastError("FileTexture2D::load2");
}
