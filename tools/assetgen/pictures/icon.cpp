// The desktop's icon: a rounded pane of tank water with the fish and two
// bubbles, made from the show's own pictures. Not a show asset: the show
// never loads it.
#include "pictures/pictures.h"

#include "draw/paint.h"

namespace {

// Paints `picture` with its top left at (x, y), scaled by sx, sy.
void paintPicture(cairo_t* cr, const Canvas& picture, double x, double y, double sx, double sy) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, sx, sy);
    cairo_set_source_surface(cr, cairo_get_target(picture.context()), 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
}

}  // namespace

std::unique_ptr<Canvas> drawIcon() {
    const int size = 256;
    auto canvas = std::make_unique<Canvas>(size, size);
    cairo_t* cr = canvas->context();

    addRoundedRect(cr, 8, 8, size - 16, size - 16, 40);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    fillVertical(cr, 8, {0.16, 0.55, 0.72}, 1, size - 8, {0.03, 0.16, 0.32}, 1);
    // The fish is drawn squeezed to 2/3 of its width; here it gets it back,
    // 216 pixels wide.
    const double fishScale = 216.0 / 384;
    paintPicture(cr, *drawSpinefin(false), 20, 64, 1.5 * fishScale, fishScale);
    paintPicture(cr, *drawBubble(), 176, 36, 0.7, 0.7);
    paintPicture(cr, *drawBubble(), 196, 92, 0.45, 0.45);
    cairo_restore(cr);

    addRoundedRect(cr, 9, 9, size - 18, size - 18, 39);
    cairo_set_line_width(cr, 3);
    setColour(cr, {0.85, 0.95, 1.0}, 0.8);
    cairo_stroke(cr);
    return canvas;
}
