// The show: one window, a timeline of effects in step with the music, and
// an exit with status 0 when the timeline is done. No options.
#include "app/shell.h"
#include "platform/freed_memory.h"
#include "platform/random.h"
#include "scene/setup_scene.h"

#include <GL/freeglut.h>

#include <ctime>

int main(int, char** argv) {
    returnLargeBuffersWhenFreed();
    // Decoded on a second core while the toolkit and the GL load.
    prefetchSceneImages();
    seedRandom(static_cast<unsigned>(std::time(nullptr)));

    // Only the program name: no command-line argument changes anything.
    int argumentCount = 1;
    glutInit(&argumentCount, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB);
    glutInitWindowPosition(50, 50);
    glutInitWindowSize(512, 512);
    glutCreateWindow("VESK");

    glutDisplayFunc(display);
    glutIdleFunc(idle);
    glutReshapeFunc(reshape);

    init();
    glutMainLoop();
    return 0;
}
