// The browser's GLUT under the name the show includes. Emscripten's GLUT
// provides the calls the show makes (freeglut's standard set); it has no
// freeglut extensions, and the show uses none.
#pragma once

#include <GL/glut.h>
