// Small drawing helpers shared by the pictures: colours (0..1 per channel),
// gradients and shape paths on a cairo context.
#pragma once

#include <cairo.h>

#include <cmath>

struct Rgb {
    double r;
    double g;
    double b;
};

inline Rgb mixRgb(const Rgb& a, const Rgb& b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline Rgb scaledRgb(const Rgb& c, double f) { return {c.r * f, c.g * f, c.b * f}; }

inline void setColour(cairo_t* cr, const Rgb& c, double alpha = 1) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }
inline void addStop(cairo_pattern_t* p, double offset, const Rgb& c, double alpha = 1) {
    cairo_pattern_add_color_stop_rgba(p, offset, c.r, c.g, c.b, alpha);
}

// An ellipse centred on (cx, cy) with radii rx, ry, turned by `angle`
// radians, as a closed sub-path of its own.
inline void addEllipse(cairo_t* cr, double cx, double cy, double rx, double ry, double angle = 0) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, angle);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_close_path(cr);
    cairo_restore(cr);
}

inline void addCircle(cairo_t* cr, double cx, double cy, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_close_path(cr);
}

inline void addRoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius) {
    double r = std::fmin(radius, std::fmin(w, h) / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// Fills the current path with a vertical gradient from `top` at y0 to
// `bottom` at y1, and clears the path.
inline void fillVertical(cairo_t* cr, double y0, const Rgb& top, double topAlpha, double y1, const Rgb& bottom,
                         double bottomAlpha) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    addStop(p, 0, top, topAlpha);
    addStop(p, 1, bottom, bottomAlpha);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

// A soft round glow: `c` at `alpha` in the centre fading to nothing at r.
inline void paintGlow(cairo_t* cr, double cx, double cy, double r, const Rgb& c, double alpha) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
    addStop(p, 0, c, alpha);
    addStop(p, 1, c, 0);
    cairo_set_source(cr, p);
    addCircle(cr, cx, cy, r);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}
