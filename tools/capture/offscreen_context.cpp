#include "offscreen_context.h"

#include <EGL/eglext.h>
#include <GL/glext.h>

#include <cstring>

namespace {

// The framebuffer-object calls are not in the GL 1.1 library interface;
// they are looked up once the context is current.
struct FramebufferCalls {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;

    bool load() {
        genFramebuffers = reinterpret_cast<PFNGLGENFRAMEBUFFERSPROC>(eglGetProcAddress("glGenFramebuffers"));
        deleteFramebuffers = reinterpret_cast<PFNGLDELETEFRAMEBUFFERSPROC>(eglGetProcAddress("glDeleteFramebuffers"));
        bindFramebuffer = reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(eglGetProcAddress("glBindFramebuffer"));
        genRenderbuffers = reinterpret_cast<PFNGLGENRENDERBUFFERSPROC>(eglGetProcAddress("glGenRenderbuffers"));
        deleteRenderbuffers =
            reinterpret_cast<PFNGLDELETERENDERBUFFERSPROC>(eglGetProcAddress("glDeleteRenderbuffers"));
        bindRenderbuffer = reinterpret_cast<PFNGLBINDRENDERBUFFERPROC>(eglGetProcAddress("glBindRenderbuffer"));
        renderbufferStorage =
            reinterpret_cast<PFNGLRENDERBUFFERSTORAGEPROC>(eglGetProcAddress("glRenderbufferStorage"));
        framebufferRenderbuffer =
            reinterpret_cast<PFNGLFRAMEBUFFERRENDERBUFFERPROC>(eglGetProcAddress("glFramebufferRenderbuffer"));
        checkFramebufferStatus =
            reinterpret_cast<PFNGLCHECKFRAMEBUFFERSTATUSPROC>(eglGetProcAddress("glCheckFramebufferStatus"));
        return genFramebuffers && deleteFramebuffers && bindFramebuffer && genRenderbuffers && deleteRenderbuffers &&
               bindRenderbuffer && renderbufferStorage && framebufferRenderbuffer && checkFramebufferStatus;
    }
};

FramebufferCalls framebufferCalls;

bool hasExtension(const char* list, const char* name) {
    if (!list) return false;
    size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at; at = std::strstr(at + 1, name))
        if ((at == list || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0')) return true;
    return false;
}

// Mesa's surfaceless platform needs neither a display server nor a GPU;
// the device platform is the other way to a display-less context.
EGLDisplay openDisplay() {
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) return EGL_NO_DISPLAY;
    if (hasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr)) return display;
    }
    if (hasExtension(clientExtensions, "EGL_EXT_platform_device")) {
        auto queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
        EGLDeviceEXT device;
        EGLint count = 0;
        if (queryDevices && queryDevices(1, &device, &count) && count > 0) {
            EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, device, nullptr);
            if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr)) return display;
        }
    }
    return EGL_NO_DISPLAY;
}

}  // namespace

std::unique_ptr<OffscreenContext> OffscreenContext::create(int width, int height, std::string& error) {
    std::unique_ptr<OffscreenContext> result(new OffscreenContext(width, height));
    if (!result->open(error) || !result->makeFramebuffer(error)) return nullptr;
    return result;
}

bool OffscreenContext::open(std::string& error) {
    display = openDisplay();
    if (display == EGL_NO_DISPLAY) {
        error = "no off-screen GL display: EGL offers neither Mesa's surfaceless platform nor a device";
        return false;
    }
    if (!hasExtension(eglQueryString(display, EGL_EXTENSIONS), "EGL_KHR_surfaceless_context")) {
        error = "the EGL display cannot make a context current without a surface";
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error = "EGL offers no desktop OpenGL";
        return false;
    }
    // No surface is ever made, so any surface type will do.
    const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_SURFACE_TYPE, 0, EGL_NONE};
    EGLConfig config;
    EGLint configCount = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &configCount) || configCount < 1) {
        error = "EGL has no configuration for desktop OpenGL";
        return false;
    }
    // No version asked for: a compatibility context, with fixed-function GL.
    context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT) {
        error = "EGL could not create a desktop OpenGL context";
        return false;
    }
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        error = "EGL could not make the GL context current";
        return false;
    }
    return true;
}

bool OffscreenContext::makeFramebuffer(std::string& error) {
    if (!framebufferCalls.load()) {
        error = "the GL context has no framebuffer objects";
        return false;
    }
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
    if (pictureWidth > maxSize || pictureHeight > maxSize) {
        error = "the GL renderer draws at most " + std::to_string(maxSize) + " pixels a side";
        return false;
    }
    framebufferCalls.genRenderbuffers(1, &colourBuffer);
    framebufferCalls.bindRenderbuffer(GL_RENDERBUFFER, colourBuffer);
    framebufferCalls.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, pictureWidth, pictureHeight);
    framebufferCalls.genFramebuffers(1, &framebuffer);
    framebufferCalls.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    framebufferCalls.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer);
    if (framebufferCalls.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        error = "the GL framebuffer of " + std::to_string(pictureWidth) + "x" + std::to_string(pictureHeight) +
                " is not complete";
        return false;
    }
    glViewport(0, 0, pictureWidth, pictureHeight);
    rgba.resize(static_cast<size_t>(pictureWidth) * pictureHeight * 4);
    return true;
}

OffscreenContext::~OffscreenContext() {
    if (context != EGL_NO_CONTEXT) {
        // The names belong to this context, which need not be current now.
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context);
        if (framebuffer) framebufferCalls.deleteFramebuffers(1, &framebuffer);
        if (colourBuffer) framebufferCalls.deleteRenderbuffers(1, &colourBuffer);
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display, context);
    }
    // The display is not terminated: EGL hands every caller the same display
    // for a platform, and terminating it would end other contexts on it too.
    // It lasts until the process ends, with the driver loaded.
}

std::string OffscreenContext::renderer() const {
    const GLubyte* name = glGetString(GL_RENDERER);
    return name ? reinterpret_cast<const char*>(name) : "unknown";
}

void OffscreenContext::readPicture(uint8_t* rgb) {
    // RGBA is the format every GL reads back fastest; alpha is dropped below.
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, pictureWidth, pictureHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    const size_t width = static_cast<size_t>(pictureWidth);
    for (int row = 0; row < pictureHeight; ++row) {
        // GL's first row is the bottom of the picture.
        const uint8_t* from = rgba.data() + static_cast<size_t>(pictureHeight - 1 - row) * width * 4;
        uint8_t* to = rgb + static_cast<size_t>(row) * width * 3;
        for (size_t x = 0; x < width; ++x) {
            to[3 * x] = from[4 * x];
            to[3 * x + 1] = from[4 * x + 1];
            to[3 * x + 2] = from[4 * x + 2];
        }
    }
}
