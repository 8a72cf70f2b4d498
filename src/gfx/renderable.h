// A drawable with a 2-D transform and a colour. Effects write the public
// fields and then call draw().
//
// Units: position in view units (the shorter side of the window spans -1 to
// 1, y up); rotation in degrees, counter-clockwise; scale as factors along
// the local axes (negative mirrors).
#pragma once

#include "gfx/color.h"
#include "gfx/vec2.h"

class Renderable {
public:
    Renderable();

    // Draws the geometry in local coordinates; called only by draw().
    virtual void render() = 0;
    // Per-frame hook effects call with the show time before they write the
    // fields. Does nothing here.
    virtual void tick(float now);

    // Saves the modelview matrix, translates, rotates, scales, sets the
    // colour, renders and restores the matrix. The GL current colour stays
    // at `color` afterwards.
    void draw();

    Vec2 position;
    Color color;     // the modulating colour; a is the opacity
    float rotation;  // degrees
    Vec2 scale;

protected:
    // Never destroyed through a pointer to the base.
    ~Renderable() = default;
    Renderable(const Renderable&) = default;
    Renderable& operator=(const Renderable&) = default;
};
