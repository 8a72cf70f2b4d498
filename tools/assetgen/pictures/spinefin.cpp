// The fish: a perch-like body facing left (-x), orange with dark bands, a
// tall dorsal fin of sharp spines, spined anal and pelvic fins, a forked
// tail and a big eye. The show stretches the 256 x 256 image to 3 : 2, so
// everything is drawn in a 384 x 256 design space squeezed to 256 wide;
// after the stretch circles are round and lines even again. The open
// image differs from the closed one only around the mouth (x < 84 in
// design space).
#include "pictures/pictures.h"

#include "draw/paint.h"

#include <cmath>

namespace {

const int size = 256;
const double designWidth = 384;

const Rgb outline{0.30, 0.12, 0.04};
const Rgb finColour{0.93, 0.36, 0.12};
const Rgb spineColour{0.45, 0.12, 0.05};
const Rgb bandColour{0.45, 0.16, 0.05};

struct Point {
    double x;
    double y;
};

// A point on the cubic Bezier p0..p3 at t in 0..1.
Point bezier(Point p0, Point p1, Point p2, Point p3, double t) {
    double u = 1 - t;
    return {u * u * u * p0.x + 3 * u * u * t * p1.x + 3 * u * t * t * p2.x + t * t * t * p3.x,
            u * u * u * p0.y + 3 * u * u * t * p1.y + 3 * u * t * t * p2.y + t * t * t * p3.y};
}

// The back, from the forehead to the top of the tail's root.
const Point back0{130, 72}, back1{190, 62}, back2{265, 74}, back3{318, 112};

void addBodyPath(cairo_t* cr) {
    cairo_move_to(cr, 40, 132);
    cairo_curve_to(cr, 46, 104, 80, 80, back0.x, back0.y);
    cairo_curve_to(cr, back1.x, back1.y, back2.x, back2.y, back3.x, back3.y);
    cairo_curve_to(cr, 323, 122, 323, 138, 318, 147);
    cairo_curve_to(cr, 268, 178, 190, 193, 130, 185);
    cairo_curve_to(cr, 88, 179, 54, 162, 40, 132);
    cairo_close_path(cr);
}

void strokeOutline(cairo_t* cr, double width) {
    cairo_set_line_width(cr, width);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    setColour(cr, outline);
    cairo_stroke(cr);
}

// Fin membrane between the rays, fading towards the rim.
void fillFin(cairo_t* cr, double x0, double y0, double x1, double y1) {
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
    addStop(p, 0, finColour, 0.95);
    addStop(p, 1, mixRgb(finColour, {1, 0.75, 0.3}, 0.5), 0.7);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    strokeOutline(cr, 2.2);
}

void drawTail(cairo_t* cr) {
    cairo_move_to(cr, 306, 114);
    cairo_curve_to(cr, 330, 100, 350, 78, 374, 58);
    cairo_curve_to(cr, 370, 90, 356, 112, 350, 130);
    cairo_curve_to(cr, 356, 148, 370, 170, 374, 202);
    cairo_curve_to(cr, 350, 182, 330, 160, 306, 146);
    cairo_close_path(cr);
    fillFin(cr, 306, 130, 374, 130);
    cairo_set_line_width(cr, 1.6);
    setColour(cr, spineColour, 0.6);
    for (int i = 0; i < 7; ++i) {
        double t = i / 6.0;
        cairo_move_to(cr, 312, 118 + t * 24);
        cairo_line_to(cr, 368, 66 + t * 128 + (t < 0.5 ? 10 : -10) * (1 - std::fabs(2 * t - 1)));
        cairo_stroke(cr);
    }
}

// The spiny dorsal fin: seven spines rising from the back, leaning towards
// the tail, the membrane scalloped between their tips.
void drawDorsalFin(cairo_t* cr) {
    const int spines = 7;
    Point base[spines], tip[spines];
    for (int i = 0; i < spines; ++i) {
        double t = 0.02 + 0.6 * i / (spines - 1);
        base[i] = bezier(back0, back1, back2, back3, t);
        double height = 34 + 16 * std::sin(M_PI * (i + 1.5) / (spines + 1));
        tip[i] = {base[i].x + 16 + 2.0 * i, base[i].y - height};
    }
    cairo_move_to(cr, base[0].x - 4, base[0].y + 2);
    for (int i = 0; i < spines; ++i) {
        cairo_line_to(cr, tip[i].x, tip[i].y);
        if (i + 1 < spines) {
            Point dip{(tip[i].x + tip[i + 1].x) / 2 + 2, (tip[i].y + tip[i + 1].y) / 2 + 14};
            cairo_line_to(cr, dip.x, dip.y);
        }
    }
    Point end = bezier(back0, back1, back2, back3, 0.78);
    cairo_line_to(cr, end.x, end.y + 2);
    cairo_close_path(cr);
    fillFin(cr, 0, 20, 0, 80);

    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < spines; ++i) {
        cairo_move_to(cr, base[i].x, base[i].y + 4);
        cairo_line_to(cr, tip[i].x + 1.5, tip[i].y - 3);
        cairo_set_line_width(cr, 3.2);
        setColour(cr, spineColour);
        cairo_stroke(cr);
    }
}

void drawAnalAndPelvicFins(cairo_t* cr) {
    // Anal fin: three spines and a soft trailing part, under the rear.
    cairo_move_to(cr, 236, 176);
    cairo_line_to(cr, 250, 206);
    cairo_line_to(cr, 262, 192);
    cairo_line_to(cr, 276, 204);
    cairo_line_to(cr, 286, 186);
    cairo_curve_to(cr, 300, 186, 306, 172, 300, 160);
    cairo_close_path(cr);
    fillFin(cr, 0, 170, 0, 206);
    // Pelvic fin, below the pectoral.
    cairo_move_to(cr, 128, 182);
    cairo_line_to(cr, 150, 222);
    cairo_line_to(cr, 160, 204);
    cairo_line_to(cr, 178, 214);
    cairo_curve_to(cr, 174, 198, 166, 188, 158, 184);
    cairo_close_path(cr);
    fillFin(cr, 0, 182, 0, 222);
    cairo_set_line_width(cr, 2.8);
    setColour(cr, spineColour);
    for (Point p : {Point{250, 206}, Point{276, 204}}) {
        cairo_move_to(cr, p.x - 12, p.y - 26);
        cairo_line_to(cr, p.x, p.y);
        cairo_stroke(cr);
    }
    cairo_move_to(cr, 132, 184);
    cairo_line_to(cr, 150, 222);
    cairo_stroke(cr);
}

void drawBody(cairo_t* cr) {
    addBodyPath(cr);
    cairo_pattern_t* skin = cairo_pattern_create_linear(0, 64, 0, 192);
    addStop(skin, 0.0, {0.78, 0.36, 0.08});
    addStop(skin, 0.35, {0.98, 0.62, 0.16});
    addStop(skin, 0.7, {1.0, 0.82, 0.40});
    addStop(skin, 1.0, {1.0, 0.93, 0.70});
    cairo_set_source(cr, skin);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(skin);

    // Bands, a sheen along the back and the lateral line, kept inside.
    cairo_save(cr);
    cairo_clip_preserve(cr);
    cairo_new_path(cr);
    for (double x : {150.0, 205.0, 258.0}) {
        cairo_move_to(cr, x - 12, 50);
        cairo_curve_to(cr, x - 2, 100, x - 16, 140, x - 4, 200);
        cairo_line_to(cr, x + 12, 200);
        cairo_curve_to(cr, x, 140, x + 14, 100, x + 12, 50);
        cairo_close_path(cr);
    }
    cairo_pattern_t* bands = cairo_pattern_create_linear(0, 60, 0, 190);
    addStop(bands, 0, bandColour, 0.6);
    addStop(bands, 0.75, bandColour, 0.15);
    addStop(bands, 1, bandColour, 0.0);
    cairo_set_source(cr, bands);
    cairo_fill(cr);
    cairo_pattern_destroy(bands);
    cairo_move_to(cr, 100, 92);
    cairo_curve_to(cr, 160, 76, 240, 84, 300, 114);
    cairo_set_line_width(cr, 5);
    setColour(cr, {1.0, 0.95, 0.75}, 0.35);
    cairo_stroke(cr);
    cairo_move_to(cr, 120, 118);
    cairo_curve_to(cr, 180, 110, 250, 114, 312, 128);
    cairo_set_line_width(cr, 1.8);
    setColour(cr, outline, 0.35);
    cairo_stroke(cr);
    cairo_restore(cr);
    strokeOutline(cr, 3.2);

    // Gill cover with its spine pointing back.
    cairo_move_to(cr, 104, 86);
    cairo_curve_to(cr, 124, 112, 126, 150, 110, 180);
    strokeOutline(cr, 2.6);
    cairo_move_to(cr, 116, 126);
    cairo_line_to(cr, 138, 132);
    cairo_line_to(cr, 118, 138);
    cairo_close_path(cr);
    setColour(cr, spineColour);
    cairo_fill(cr);
}

void drawPectoralFin(cairo_t* cr) {
    cairo_move_to(cr, 128, 140);
    cairo_curve_to(cr, 150, 120, 176, 124, 190, 134);
    cairo_curve_to(cr, 178, 150, 152, 160, 128, 150);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(128, 0, 190, 0);
    addStop(p, 0, finColour, 0.9);
    addStop(p, 1, {1.0, 0.7, 0.3}, 0.55);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    strokeOutline(cr, 2.0);
    cairo_set_line_width(cr, 1.3);
    setColour(cr, spineColour, 0.55);
    for (int i = 0; i < 4; ++i) {
        cairo_move_to(cr, 132, 144);
        cairo_line_to(cr, 184, 130 + i * 6);
        cairo_stroke(cr);
    }
}

void drawEye(cairo_t* cr) {
    const double x = 84, y = 112;
    addCircle(cr, x, y, 17);
    setColour(cr, {1.0, 0.95, 0.55});
    cairo_fill_preserve(cr);
    strokeOutline(cr, 2.6);
    addCircle(cr, x - 2, y + 1, 10.5);
    setColour(cr, {0.05, 0.03, 0.02});
    cairo_fill(cr);
    addCircle(cr, x - 6, y - 4, 4);
    setColour(cr, {1, 1, 1});
    cairo_fill(cr);
    addCircle(cr, x + 1, y + 5, 1.8);
    cairo_fill(cr);
    // A heavy brow over the eye.
    cairo_move_to(cr, x - 18, y - 20);
    cairo_curve_to(cr, x - 8, y - 26, x + 8, y - 25, x + 18, y - 17);
    strokeOutline(cr, 3.4);
}

void drawClosedMouth(cairo_t* cr) {
    cairo_move_to(cr, 41, 135);
    cairo_curve_to(cr, 50, 141, 60, 143, 70, 140);
    strokeOutline(cr, 3.0);
    cairo_move_to(cr, 68, 137);
    cairo_curve_to(cr, 71, 140, 71, 143, 68, 145);
    strokeOutline(cr, 2.2);
}

// The open mouth: the lower jaw dropped, a dark round gape with lips.
void drawOpenMouth(cairo_t* cr) {
    cairo_move_to(cr, 38, 126);
    cairo_curve_to(cr, 48, 118, 66, 122, 72, 134);
    cairo_curve_to(cr, 74, 148, 64, 164, 48, 162);
    cairo_curve_to(cr, 34, 160, 30, 140, 38, 126);
    cairo_close_path(cr);
    cairo_pattern_t* throat = cairo_pattern_create_radial(56, 140, 2, 54, 142, 22);
    addStop(throat, 0, {0.12, 0.0, 0.02});
    addStop(throat, 1, {0.45, 0.06, 0.08});
    cairo_set_source(cr, throat);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(throat);
    cairo_set_line_width(cr, 5.5);
    setColour(cr, {0.95, 0.45, 0.25});
    cairo_stroke_preserve(cr);
    strokeOutline(cr, 2.0);
    addEllipse(cr, 50, 155, 9, 4, -0.2);
    setColour(cr, {0.85, 0.35, 0.40});
    cairo_fill(cr);
}

}  // namespace

std::unique_ptr<Canvas> drawSpinefin(bool mouthOpen) {
    auto canvas = std::make_unique<Canvas>(size, size);
    cairo_t* cr = canvas->context();
    cairo_scale(cr, size / designWidth, 1.0);

    drawTail(cr);
    drawDorsalFin(cr);
    drawAnalAndPelvicFins(cr);
    drawBody(cr);
    drawPectoralFin(cr);
    drawEye(cr);
    if (mouthOpen)
        drawOpenMouth(cr);
    else
        drawClosedMouth(cr);
    return canvas;
}
