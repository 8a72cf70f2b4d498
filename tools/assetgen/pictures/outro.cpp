// The closing words. The square one (256 x 256, the view's upper right
// quarter) says "thanks for watching" over a small fish skeleton; the
// strip (256 x 64, under it) names the piece and its makers. The strip's
// left fifth stays empty: the diver's helmet shows there at the end.
#include "pictures/pictures.h"

#include "draw/lettering.h"
#include "draw/paint.h"

namespace {

const Rgb pale{0.88, 1.0, 0.96};
const Rgb outlineColour{0.0, 0.07, 0.09};

void strokeAndFill(cairo_t* cr, const Rgb& fill, double outlineWidth) {
    cairo_set_line_width(cr, outlineWidth);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    setColour(cr, outlineColour, 0.85);
    cairo_stroke_preserve(cr);
    setColour(cr, fill);
    cairo_fill(cr);
}

// A fish skeleton facing left, centred on (cx, cy), `length` px long.
void drawFishbone(cairo_t* cr, double cx, double cy, double length) {
    double half = length / 2;
    for (int pass = 0; pass < 2; ++pass) {
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_set_line_width(cr, pass == 0 ? 7 : 3);
        if (pass == 0)
            setColour(cr, outlineColour, 0.85);
        else
            setColour(cr, pale);
        // Spine and ribs.
        cairo_move_to(cr, cx - half * 0.55, cy);
        cairo_line_to(cr, cx + half * 0.75, cy);
        for (int i = 0; i < 5; ++i) {
            double x = cx - half * 0.3 + i * half * 0.22;
            double rib = half * (0.32 - i * 0.035);
            cairo_move_to(cr, x + rib * 0.4, cy - rib);
            cairo_line_to(cr, x, cy);
            cairo_line_to(cr, x + rib * 0.4, cy + rib);
        }
        // Tail.
        cairo_move_to(cr, cx + half * 0.75, cy);
        cairo_line_to(cr, cx + half, cy - half * 0.25);
        cairo_line_to(cr, cx + half, cy + half * 0.25);
        cairo_close_path(cr);
        cairo_stroke(cr);
        // Head with a crossed-out eye.
        addCircle(cr, cx - half * 0.75, cy, half * 0.25);
        cairo_stroke(cr);
        double ex = cx - half * 0.8, ey = cy - half * 0.06, e = half * 0.07;
        cairo_move_to(cr, ex - e, ey - e);
        cairo_line_to(cr, ex + e, ey + e);
        cairo_move_to(cr, ex + e, ey - e);
        cairo_line_to(cr, ex - e, ey + e);
        cairo_set_line_width(cr, pass == 0 ? 5 : 2);
        cairo_stroke(cr);
    }
}

}  // namespace

std::unique_ptr<Canvas> drawOutro() {
    const int size = 256;
    auto canvas = std::make_unique<Canvas>(size, size);
    cairo_t* cr = canvas->context();
    addCentredText(cr, "thanks", sansBold, 54, size / 2.0, 78);
    strokeAndFill(cr, pale, 5);
    addCentredText(cr, "for", serifItalic, 34, size / 2.0, 118);
    strokeAndFill(cr, {0.6, 0.95, 0.8}, 4);
    addCentredText(cr, "watching", sansBold, 46, size / 2.0, 168);
    strokeAndFill(cr, pale, 5);
    drawFishbone(cr, size / 2.0, 212, 96);
    return canvas;
}

std::unique_ptr<Canvas> drawOutroCredits() {
    const int width = 256, height = 64;
    auto canvas = std::make_unique<Canvas>(width, height);
    cairo_t* cr = canvas->context();
    const double centre = 52 + (width - 52) / 2.0;
    addCentredText(cr, "KELPWAKE", sansBold, 30, centre, 32, 2);
    cairo_set_line_width(cr, 4);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    setColour(cr, outlineColour, 0.85);
    cairo_stroke_preserve(cr);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, 10, 0, 32);
    addStop(fill, 0, {0.85, 1.0, 0.85});
    addStop(fill, 1, {0.20, 0.70, 0.50});
    cairo_set_source(cr, fill);
    cairo_fill(cr);
    cairo_pattern_destroy(fill);
    addCentredText(cr, "a show by VESK", serifItalic, 17, centre, 55);
    strokeAndFill(cr, pale, 3);
    return canvas;
}
