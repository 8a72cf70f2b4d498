#include "support/gl_test_context.h"

#include "platform/dialog.h"
#include "support/error_box_recorder.h"

#include <GL/freeglut.h>
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace vesk_test {

namespace {

// freeglut ends the process when it cannot open the display, so the display
// is tried first, through the X library freeglut itself loads. The probe's
// connection stays open for the life of the process: Xvfb resets when its
// last client leaves, and a connection made during a reset (freeglut's, just
// after a closed probe, or ours while another test process exits) fails.
void* keptDisplayConnection = nullptr;

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
    auto open = reinterpret_cast<OpenDisplay>(dlsym(x11, "XOpenDisplay"));
    // A few tries, 50 ms apart, ride out a server reset.
    for (int attempt = 0; open && !keptDisplayConnection && attempt < 40; ++attempt) {
        if (attempt > 0) usleep(50 * 1000);
        keptDisplayConnection = open(name);
    }
    if (!keptDisplayConnection) *whyNot = std::string("cannot open display ") + name;
    return keptDisplayConnection != nullptr;
}

void drawNothing() {}

// Mesa's DRI driver keeps a few blocks until the process ends and is
// unloaded before the leak check runs, which then cannot name it. Keeping
// it loaded lets the suppressions below (and tests/support/lsan.supp) match.
int keepDriDriverLoaded(dl_phdr_info* module, size_t, void*) {
    const char* name = module->dlpi_name;
    const size_t length = name ? std::strlen(name) : 0;
    const char suffix[] = "_dri.so";
    if (length > sizeof suffix - 1 && std::strcmp(name + length - (sizeof suffix - 1), suffix) == 0)
        dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}

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
            glClear(GL_COLOR_BUFFER_BIT);  // the driver is loaded by now
            dl_iterate_phdr(keepDriDriverLoaded, nullptr);
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

// LeakSanitizer's built-in suppressions for every test program that uses
// the GL context: the blocks Mesa's software driver keeps until exit. The
// same list is in tests/support/lsan.supp for other programs.
extern "C" const char* __lsan_default_suppressions() { return "leak:swrast_dri.so\n"; }
