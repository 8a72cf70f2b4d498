// The blood wash. The show draws it as a strip 2 wide and 4 high, rising
// from below, so its top row is the leading edge: a wavy band of dark,
// dense blood with drips running down from it into a lighter wash, and a
// few splashes flung above the edge. Rows are y down from the top.
#include "pictures/pictures.h"

#include "draw/paint.h"
#include "random.h"

#include <cmath>

namespace {

const int width = 256;
const int height = 512;
const Rgb dense{0.50, 0.0, 0.03};
const Rgb wet{0.78, 0.06, 0.08};
const Rgb gloss{1.0, 0.45, 0.45};

// The edge's height at column x: two slow waves, y in pixels.
double edgeAt(double x) {
    return 44 + 9 * std::sin(x * 2 * M_PI / width * 2 + 0.6) + 5 * std::sin(x * 2 * M_PI / width * 5 + 1.9);
}

void addEdgePath(cairo_t* cr, double offset) {
    cairo_move_to(cr, -2, edgeAt(-2) + offset);
    for (int x = 0; x <= width + 2; x += 2) cairo_line_to(cr, x, edgeAt(x) + offset);
}

// A drip hanging from the band at column x: a tongue `length` px long,
// narrowing, ending in a round drop.
void addDrip(cairo_t* cr, double x, double top, double halfWidth, double length) {
    double bottom = top + length;
    double drop = halfWidth * 1.35;
    cairo_new_sub_path(cr);
    cairo_move_to(cr, x - halfWidth * 1.8, top);
    cairo_curve_to(cr, x - halfWidth, top + 6, x - halfWidth * 0.7, top + length * 0.4, x - halfWidth * 0.8,
                   bottom - drop);
    cairo_arc_negative(cr, x, bottom - drop * 0.2, drop, M_PI + 0.5, -0.5 + 2 * M_PI);
    cairo_curve_to(cr, x + halfWidth * 0.7, top + length * 0.4, x + halfWidth, top + 6, x + halfWidth * 1.8, top);
    cairo_close_path(cr);
}

}  // namespace

std::unique_ptr<Canvas> drawBlood() {
    auto canvas = std::make_unique<Canvas>(width, height);
    cairo_t* cr = canvas->context();
    Random random(4471);

    // The wash below the edge: translucent, darkening downwards.
    addEdgePath(cr, 0);
    cairo_line_to(cr, width + 2, height + 2);
    cairo_line_to(cr, -2, height + 2);
    cairo_close_path(cr);
    fillVertical(cr, 40, wet, 0.78, height, scaledRgb(dense, 0.9), 0.9);

    // The dense band along the edge and its drips.
    addEdgePath(cr, 0);
    for (int x = width + 2; x >= -2; x -= 2) cairo_line_to(cr, x, edgeAt(x) + 22 + 4 * std::sin(x * 0.11));
    cairo_close_path(cr);
    const int dripCount = 9;
    for (int i = 0; i < dripCount; ++i) {
        double x = (i + 0.5) * width / dripCount + random.between(-8, 8);
        double halfWidth = random.between(4.5, 8);
        double length = random.between(40, 250);
        addDrip(cr, x, edgeAt(x) + 18, halfWidth, length);
    }
    setColour(cr, dense, 1.0);
    cairo_fill(cr);

    // Wet gloss: a light line just under the edge and one down each drip.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 2.5);
    addEdgePath(cr, 4);
    setColour(cr, gloss, 0.45);
    cairo_stroke(cr);

    // Splashes flung above the edge, clear of the top row.
    for (int i = 0; i < 7; ++i) {
        double x = random.between(10, width - 10);
        double r = random.between(2, 5.5);
        double y = edgeAt(x) - random.between(10, 30);
        if (y - r < 4) y = 4 + r;
        addCircle(cr, x, y, r);
        setColour(cr, dense, 1.0);
        cairo_fill(cr);
        paintGlow(cr, x - r * 0.35, y - r * 0.35, r * 0.5, gloss, 0.5);
    }
    return canvas;
}
