#include "draw/lettering.h"

#include <algorithm>

namespace {

void selectFace(cairo_t* cr, const Typeface& face, double size) {
    cairo_select_font_face(cr, face.family, face.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           face.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
}

// Walks the letters of `text` one by one (UTF-8 aware), calling
// visit(letter, penX) with the pen position of each.
template <typename Visit>
void forEachLetter(cairo_t* cr, const std::string& text, double tracking, Visit visit) {
    double pen = 0;
    size_t i = 0;
    while (i < text.size()) {
        size_t length = 1;
        while (i + length < text.size() && (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80) ++length;
        std::string letter = text.substr(i, length);
        visit(letter, pen);
        cairo_text_extents_t extents;
        cairo_text_extents(cr, letter.c_str(), &extents);
        pen += extents.x_advance + tracking;
        i += length;
    }
}

}  // namespace

InkBox measureText(cairo_t* cr, const std::string& text, const Typeface& face, double size, double tracking) {
    cairo_save(cr);
    selectFace(cr, face, size);
    double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
    forEachLetter(cr, text, tracking, [&](const std::string& letter, double pen) {
        cairo_text_extents_t e;
        cairo_text_extents(cr, letter.c_str(), &e);
        if (e.width <= 0) return;
        left = std::min(left, pen + e.x_bearing);
        right = std::max(right, pen + e.x_bearing + e.width);
        top = std::min(top, e.y_bearing);
        bottom = std::max(bottom, e.y_bearing + e.height);
    });
    cairo_restore(cr);
    if (right < left) return {0, 0, 0, 0};
    return {left, top, right - left, bottom - top};
}

void addCentredText(cairo_t* cr, const std::string& text, const Typeface& face, double size, double centreX,
                    double baselineY, double tracking) {
    InkBox ink = measureText(cr, text, face, size, tracking);
    double startX = centreX - ink.width / 2 - ink.left;
    cairo_save(cr);
    selectFace(cr, face, size);
    forEachLetter(cr, text, tracking, [&](const std::string& letter, double pen) {
        cairo_move_to(cr, startX + pen, baselineY);
        cairo_text_path(cr, letter.c_str());
    });
    cairo_restore(cr);  // the path survives save/restore
}

double sizeToFit(cairo_t* cr, const std::string& text, const Typeface& face, double maxSize, double maxWidth,
                 double tracking) {
    double width = measureText(cr, text, face, maxSize, tracking).width;
    if (width <= maxWidth || width <= 0) return maxSize;
    // Ink width grows almost linearly with size; tracking does not.
    double size = maxSize * maxWidth / width;
    while (size > 1 && measureText(cr, text, face, size, tracking).width > maxWidth) size *= 0.98;
    return size;
}
