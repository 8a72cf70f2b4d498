#include "app/shell.h"

#include "app/show_clock.h"
#include "scene/sound_loading.h"
#include "platform/freed_memory.h"
#include "platform/sound/mix_rate.h"
#include "platform/sound/fsound.h"
#include "scene/setup_scene.h"
#include "timeline/timeline.h"

#include <GL/freeglut.h>

#include <cstdlib>

void reshape(int width, int height) {
    // A minimised window reports no area; the aspect ratio would divide by
    // zero, and there is nothing to draw into anyway.
    if (width <= 0 || height <= 0) return;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (width > height) {
        double aspect = static_cast<double>(width) / height;
        glOrtho(-aspect, aspect, -1, 1, 0, 1);
    } else {
        double aspect = static_cast<double>(height) / width;
        glOrtho(-1, 1, -aspect, aspect, 0, 1);
    }
    // Every draw restores the modelview matrix, so it stays the identity.
    glMatrixMode(GL_MODELVIEW);
}

namespace {
// Whether a frame was drawn since the last idle call.
bool frameDrawn = true;
}  // namespace

void display() {
    frameDrawn = true;
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    if (!timeline.run()) std::exit(0);
    glutSwapBuffers();
}

void idle() {
    // The toolkit draws no frame for a window that is hidden (minimised) or
    // fully covered; the show's time runs on all the same, so the frame is
    // drawn from here, and the show still ends at its time. A whole frame,
    // swap included: drawing without ever swapping piles the commands up in
    // the GL driver, which grows by megabytes a second and slows each frame.
    if (!frameDrawn) display();
    frameDrawn = false;
    glutPostRedisplay();
}

void closeSound() { FSOUND_Close(); }

signed char onSyncPoint(FSOUND_STREAM*, void*, int, void*) {
    showClock.reset();
    return 0;
}

void init() {
    reshape(512, 512);
    // The whole 2-D state of the show: alpha blending, no depth test; the
    // drawing order by layer decides what covers what.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);

    FSOUND_Init(mixRate, 8, 0);
    // Registered after the static objects were built, so it runs before
    // their destructors: sound stops before the sprites and timeline go.
    std::atexit(closeSound);

    setupScene();

    FSOUND_STREAM* music = openMusic();
    FSOUND_Stream_SetSyncCallback(music, onSyncPoint, nullptr);
    FSOUND_Stream_AddSyncPoint(music, 0, "");
    releaseFreedHeap();  // what loading freed
    showClock.reset();
    FSOUND_Stream_Play(0, music);
}
