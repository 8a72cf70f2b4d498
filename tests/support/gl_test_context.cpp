#include "support/gl_test_context.h"

#include "platform/dialog.h"
#include "support/error_box_recorder.h"

#include <GL/freeglut.h>
#include <dlfcn.h>

#include <cstdlib>

namespace vesk_test {

namespace {

// freeglut ends the process when it cannot open the display, so the display
// is tried first, through the X library freeglut itself loads.
bool displayReachable(std::string* whyNot) {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) {
        *whyNot = "DISPLAY is not set (run the tests under xvfb-run -a)";
        return false;
    }
    void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    if (!x11) {
        *whyNot = "libX11.so.6 cannot be loaded";
        return false;
    }
    using OpenDisplay = void* (*)(const char*);
    using CloseDisplay = int (*)(void*);
    auto open = reinterpret_cast<OpenDisplay>(dlsym(x11, "XOpenDisplay"));
    auto close = reinterpret_cast<CloseDisplay>(dlsym(x11, "XCloseDisplay"));
    void* display = open && close ? open(name) : nullptr;
    if (display) close(display);
    // libX11 stays loaded: freeglut needs it anyway.
    if (!display) *whyNot = std::string("cannot open display ") + name;
    return display != nullptr;
}

void drawNothing() {}

enum class ContextState { untried, ready, unavailable };

}  // namespace

bool useGlTestContext(std::string* whyNot) {
    static ContextState state = ContextState::untried;
    static std::string reason;
    if (state == ContextState::untried) {
        if (displayReachable(&reason)) {
            static char programName[] = "vesk-tests";
            static char* arguments[] = {programName, nullptr};
            int argumentCount = 1;
            glutInit(&argumentCount, arguments);
            glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB);
            glutInitWindowSize(glTestWindowPixels, glTestWindowPixels);
            glutCreateWindow("vesk tests");
            glutDisplayFunc(drawNothing);
            glutMainLoopEvent();
            state = ContextState::ready;
        } else {
            state = ContextState::unavailable;
        }
    }
    if (state == ContextState::unavailable) {
        if (whyNot) *whyNot = reason;
        return false;
    }

    // The real box would wait for a click that never comes.
    if (!errorBoxHandler()) setErrorBoxHandler(failOnErrorBox);

    glViewport(0, 0, glTestWindowPixels, glTestWindowPixels);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, 0, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor4f(1, 1, 1, 1);
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    return true;
}

void clearFrame(float r, float g, float b) {
    glClearColor(r, g, b, 1);
    glClear(GL_COLOR_BUFFER_BIT);
}

int pixelAt(float viewCoordinate) {
    int pixel = static_cast<int>((viewCoordinate + 1.0f) * 0.5f * glTestWindowPixels);
    if (pixel < 0) return 0;
    if (pixel >= glTestWindowPixels) return glTestWindowPixels - 1;
    return pixel;
}

Frame::Frame() : pixels_(static_cast<size_t>(glTestWindowPixels) * glTestWindowPixels) {
    static_assert(sizeof(Rgba) == 4, "Rgba must be four packed bytes");
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, glTestWindowPixels, glTestWindowPixels, GL_RGBA, GL_UNSIGNED_BYTE, pixels_.data());
}

Rgba Frame::atView(float x, float y) const { return atPixel(pixelAt(x), pixelAt(y)); }

Rgba Frame::atPixel(int column, int row) const {
    return pixels_[static_cast<size_t>(row) * glTestWindowPixels + static_cast<size_t>(column)];
}

}  // namespace vesk_test
