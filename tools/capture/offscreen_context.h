// A GL context with no window and no display server: EGL on Mesa's
// surfaceless platform (or, failing that, the first EGL device), a desktop
// GL context with the fixed-function pipeline, and a framebuffer object of
// the capture's size with one RGBA8 colour renderbuffer, bound for drawing
// and reading.
//
// Main thread only; the context stays current on it for the object's life.
#pragma once

#include <EGL/egl.h>
#include <GL/gl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class OffscreenContext {
public:
    // Null, with a one-line reason in `error`, when no context or
    // framebuffer of that size can be made.
    static std::unique_ptr<OffscreenContext> create(int width, int height, std::string& error);
    ~OffscreenContext();

    int width() const { return pictureWidth; }
    int height() const { return pictureHeight; }
    // The GL renderer's name, for messages.
    std::string renderer() const;

    // Reads the framebuffer into `rgb`: width * height * 3 bytes, 8-bit
    // red, green, blue, rows from the top of the picture down. The window
    // of the show has no alpha, so neither has the picture.
    void readPicture(uint8_t* rgb);

    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

private:
    OffscreenContext(int width, int height) : pictureWidth(width), pictureHeight(height) {}
    bool open(std::string& error);
    bool makeFramebuffer(std::string& error);

    int pictureWidth;
    int pictureHeight;
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    GLuint framebuffer = 0;
    GLuint colourBuffer = 0;
    std::vector<uint8_t> rgba;  // GL's bottom-up rows, reused every frame
};
