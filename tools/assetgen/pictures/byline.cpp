// The by-line, 128 x 32: "by" in a light italic, "VESK" in bold, pale on a
// dark outline so that it reads on black and on water.
#include "pictures/pictures.h"

#include "draw/lettering.h"
#include "draw/paint.h"

std::unique_ptr<Canvas> drawByline() {
    const int width = 128, height = 32;
    auto canvas = std::make_unique<Canvas>(width, height);
    cairo_t* cr = canvas->context();
    const double size = 21, baseline = 24;
    InkBox by = measureText(cr, "by", serifItalic, size);
    InkBox vesk = measureText(cr, "VESK", sansBold, size, 1.5);
    const double gap = 7;
    double left = (width - (by.width + gap + vesk.width)) / 2;

    for (int pass = 0; pass < 2; ++pass) {
        addCentredText(cr, "by", serifItalic, size, left + by.width / 2, baseline);
        addCentredText(cr, "VESK", sansBold, size, left + by.width + gap + vesk.width / 2, baseline, 1.5);
        if (pass == 0) {
            cairo_set_line_width(cr, 3.5);
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
            setColour(cr, {0.0, 0.08, 0.10}, 0.85);
            cairo_stroke(cr);
        } else {
            setColour(cr, {0.85, 0.98, 0.95});
            cairo_fill(cr);
        }
    }
    return canvas;
}
