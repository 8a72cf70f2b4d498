#include "gfx/renderable.h"

#include <GL/gl.h>

Renderable::Renderable() : position{0, 0}, color{1, 1, 1, 1}, rotation(0), scale{1, 1} {}

void Renderable::tick(float) {}

void Renderable::draw() {
    glPushMatrix();
    glTranslatef(position.x, position.y, 0);
    glRotatef(rotation, 0, 0, 1);
    glScalef(scale.x, scale.y, 1);
    glColor4fv(color.data());
    render();
    glPopMatrix();
}
