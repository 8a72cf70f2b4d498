#include "support/gl_test_context.h"

#include "platform/dialog.h"

#include <GL/freeglut.h>
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace vesk_test {

namespace {

// freeglut ends the process when it cannot open the display, so the display
// is tried first, through the X library freeglut loads itself. The probe's
// connection stays open: Xvfb resets when its last client leaves, and a
// connection made during a reset fails; a few tries ride one out.
bool displayReachable(std::string* whyNot) {
    const char* name = std::getenv("DISPLAY");
    void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    auto open = x11 ? reinterpret_cast<void* (*)(const char*)>(dlsym(x11, "XOpenDisplay")) : nullptr;
    for (int attempt = 0; name && *name && open && attempt < 40; ++attempt, usleep(50 * 1000))
        if (open(name)) return true;
    *whyNot = name && *name ? std::string("cannot open display ") + name
                            : "DISPLAY is not set (run the tests under xvfb-run -a)";
    return false;
}

// Mesa's DRI driver keeps a few blocks until the process ends and is
// unloaded before the leak check, which then cannot name it; kept loaded,
// the suppression of tests/support/leaks.supp matches.
int keepDriDriverLoaded(dl_phdr_info* module, size_t, void*) {
    const std::string name = module->dlpi_name ? module->dlpi_name : "";
    if (name.size() > 7 && name.compare(name.size() - 7, 7, "_dri.so") == 0)
        dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}

}  // namespace

bool useGlTestContext(std::string* whyNot) {
    static std::string reason;
    static const bool ready = [] {
        if (!displayReachable(&reason)) return false;
        static char programName[] = "vesk-tests";
        static char* arguments[] = {programName, nullptr};
        int argumentCount = 1;
        glutInit(&argumentCount, arguments), glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB);
        glutInitWindowSize(glTestWindowPixels, glTestWindowPixels), glutCreateWindow("vesk tests"), glutDisplayFunc([] {});
        glutMainLoopEvent(), glClear(GL_COLOR_BUFFER_BIT);  // the driver is loaded by now
        dl_iterate_phdr(keepDriDriverLoaded, nullptr);
        return true;
    }();
    if (!ready) return *whyNot = reason, false;
    // The real box would wait for a click that never comes.
    if (!errorBoxHandler()) setErrorBoxHandler([](const char* text) { ADD_FAILURE() << "unexpected \"Error\" box: " << text; });
    glViewport(0, 0, glTestWindowPixels, glTestWindowPixels);
    glMatrixMode(GL_PROJECTION), glLoadIdentity(), glOrtho(-1, 1, -1, 1, 0, 1), glMatrixMode(GL_MODELVIEW), glLoadIdentity();
    glEnable(GL_BLEND), glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA), glDisable(GL_DEPTH_TEST), glDisable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0), glColor4f(1, 1, 1, 1), glDrawBuffer(GL_BACK);
    return true;
}

void clearFrame(float r, float g, float b) { glClearColor(r, g, b, 1), glClear(GL_COLOR_BUFFER_BIT); }

Frame::Frame() : pixels_(size_t(glTestWindowPixels) * glTestWindowPixels) {
    glPixelStorei(GL_PACK_ALIGNMENT, 1), glReadBuffer(GL_BACK);
    glReadPixels(0, 0, glTestWindowPixels, glTestWindowPixels, GL_RGBA, GL_UNSIGNED_BYTE, pixels_.data());
}

Rgba Frame::atView(float x, float y) const {
    auto pixel = [](float v) { return std::clamp(int((v + 1.0f) * 0.5f * glTestWindowPixels), 0, glTestWindowPixels - 1); };
    return atPixel(pixel(x), pixel(y));
}

}  // namespace vesk_test
