// vesk_bare_window [SECONDS]: the least a frame of the show's window can
// cost. The same 512 x 512 double-buffered RGB freeglut window, cleared to
// black and swapped as fast as the idle loop allows, for SECONDS (default
// 20) of wall time, then exit(0). The frame rate of the show is measured
// against this one in the same X session.
#include <GL/freeglut.h>

#include <cstdlib>

namespace {

int durationMilliseconds = 20000;

void display() {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    if (glutGet(GLUT_ELAPSED_TIME) >= durationMilliseconds) std::exit(0);
    glutSwapBuffers();
}

void idle() { glutPostRedisplay(); }

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) durationMilliseconds = static_cast<int>(std::atof(argv[1]) * 1000);
    int argumentCount = 1;
    glutInit(&argumentCount, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB);
    glutInitWindowPosition(50, 50);
    glutInitWindowSize(512, 512);
    glutCreateWindow("bare window");
    glutDisplayFunc(display);
    glutIdleFunc(idle);
    glutMainLoop();
    return 0;
}
