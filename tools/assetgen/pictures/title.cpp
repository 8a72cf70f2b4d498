// The title card, 512 x 128 (one texel per window pixel at the show's
// size): "KELPWAKE" in heavy lettering filled with a sea-green gradient,
// outlined and shadowed so that it reads on black and on the aquarium, a
// wake of waves under its left part and bubbles rising from it. The lower
// right corner (x 384..486, y 102..128) is left clear for the by-line.
#include "pictures/pictures.h"

#include "draw/lettering.h"
#include "draw/paint.h"

#include <cmath>

namespace {

const int width = 512;
const int height = 128;
const double baseline = 88;

void addTitleText(cairo_t* cr, double size, double dx, double dy) {
    addCentredText(cr, "KELPWAKE", sansBold, size, width / 2.0 + dx, baseline + dy, 4);
}

// The wake: a wavy line that widens and fades to the left.
void drawWake(cairo_t* cr) {
    for (int line = 0; line < 2; ++line) {
        double y = 104 + line * 9;
        cairo_move_to(cr, 24, y);
        for (double x = 24; x <= 360 - line * 60; x += 3) cairo_line_to(cr, x, y + 3.5 * std::sin(x * 0.09 + line * 2));
        cairo_pattern_t* p = cairo_pattern_create_linear(24, 0, 360, 0);
        addStop(p, 0, {0.7, 1.0, 0.95}, 0.0);
        addStop(p, 0.5, {0.7, 1.0, 0.95}, 0.75 - line * 0.3);
        addStop(p, 1, {0.7, 1.0, 0.95}, 0.0);
        cairo_set_source(cr, p);
        cairo_set_line_width(cr, 3 - line);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
        cairo_pattern_destroy(p);
    }
}

void drawBubbles(cairo_t* cr) {
    const double bubbles[][3] = {{100, 16, 5}, {112, 6, 3}, {300, 14, 4}, {292, 5, 2.5}, {418, 18, 4.5}, {428, 7, 3}};
    for (const auto& b : bubbles) {
        addCircle(cr, b[0], b[1], b[2]);
        setColour(cr, {0.8, 1.0, 1.0}, 0.15);
        cairo_fill_preserve(cr);
        cairo_set_line_width(cr, 1.3);
        setColour(cr, {0.85, 1.0, 1.0}, 0.85);
        cairo_stroke(cr);
        paintGlow(cr, b[0] - b[2] * 0.35, b[1] - b[2] * 0.35, b[2] * 0.45, {1, 1, 1}, 0.9);
    }
}

}  // namespace

std::unique_ptr<Canvas> drawTitle() {
    auto canvas = std::make_unique<Canvas>(width, height);
    cairo_t* cr = canvas->context();
    double size = sizeToFit(cr, "KELPWAKE", sansBold, 90, 456, 4);

    // Shadow, then a thick dark outline, then the filled letters.
    addTitleText(cr, size, 3, 4);
    setColour(cr, {0, 0.02, 0.04}, 0.55);
    cairo_set_line_width(cr, 8);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    cairo_fill(cr);

    addTitleText(cr, size, 0, 0);
    cairo_set_line_width(cr, 6);
    setColour(cr, {0.02, 0.16, 0.18});
    cairo_stroke_preserve(cr);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, baseline - size * 0.75, 0, baseline);
    addStop(fill, 0.0, {0.85, 1.0, 0.85});
    addStop(fill, 0.45, {0.35, 0.85, 0.55});
    addStop(fill, 0.55, {0.16, 0.62, 0.46});
    addStop(fill, 1.0, {0.06, 0.40, 0.42});
    cairo_set_source(cr, fill);
    cairo_fill(cr);
    cairo_pattern_destroy(fill);

    // A glint along the top of the letters.
    cairo_save(cr);
    addTitleText(cr, size, 0, 0);
    cairo_clip(cr);
    addTitleText(cr, size, 0, 5);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    setColour(cr, {1, 1, 1}, 0.45);
    cairo_fill(cr);
    cairo_restore(cr);

    drawWake(cr);
    drawBubbles(cr);
    return canvas;
}
