// The bubble: nearly clear in the middle, denser towards the edge as a
// real bubble's skin is seen edge-on there, a bright rim, and a window
// highlight at the upper left with a small reflection opposite.
#include "pictures/pictures.h"

#include "draw/paint.h"

std::unique_ptr<Canvas> drawBubble() {
    const int size = 64;
    auto canvas = std::make_unique<Canvas>(size, size);
    cairo_t* cr = canvas->context();
    const double c = size / 2.0;
    const double radius = 29.5;
    const Rgb skin{0.75, 0.92, 1.0};
    const Rgb white{1, 1, 1};

    cairo_pattern_t* body = cairo_pattern_create_radial(c, c, 0, c, c, radius);
    addStop(body, 0.0, skin, 0.02);
    addStop(body, 0.55, skin, 0.06);
    addStop(body, 0.85, skin, 0.25);
    addStop(body, 1.0, skin, 0.6);
    cairo_set_source(cr, body);
    addCircle(cr, c, c, radius);
    cairo_fill(cr);
    cairo_pattern_destroy(body);

    cairo_set_line_width(cr, 2.6);
    setColour(cr, {0.92, 0.98, 1.0}, 0.95);
    addCircle(cr, c, c, radius - 1.4);
    cairo_stroke(cr);

    // The window highlight: a soft crescent-like oval along the rim.
    cairo_save(cr);
    cairo_translate(cr, c - 10, c - 11);
    cairo_rotate(cr, -0.75);
    cairo_scale(cr, 9, 4.5);
    cairo_pattern_t* shine = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
    addStop(shine, 0.0, white, 0.95);
    addStop(shine, 0.6, white, 0.75);
    addStop(shine, 1.0, white, 0.0);
    cairo_set_source(cr, shine);
    addCircle(cr, 0, 0, 1);
    cairo_fill(cr);
    cairo_pattern_destroy(shine);
    cairo_restore(cr);

    paintGlow(cr, c + 12, c + 13, 4.0, white, 0.7);
    return canvas;
}
