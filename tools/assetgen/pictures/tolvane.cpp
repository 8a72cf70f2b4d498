// The diver: a stout figure in a canvas suit with a copper helmet, a brass
// breastplate, a belt of lead weights and lead boots, the air hose rising
// out of the top. 256 x 1024, y down from the top. The show sees it two
// ways: standing on the fish it shows the band from 23 % to 57 % of the
// height (rows 440..788: belly, belt, gloves, legs, boots, soles on row
// 752 just above the fish), and at the end only the top 29 % (rows
// 0..297: helmet with a grumpy face in the front window, shoulders).
#include "pictures/pictures.h"

#include "draw/paint.h"

#include <cmath>

namespace {

const int width = 256;
const int height = 1024;

const Rgb ink{0.12, 0.08, 0.05};
const Rgb copperLight{1.0, 0.84, 0.55};
const Rgb copper{0.80, 0.48, 0.20};
const Rgb copperDark{0.38, 0.18, 0.06};
const Rgb brass{0.86, 0.70, 0.30};
const Rgb canvasLight{0.78, 0.70, 0.52};
const Rgb canvasDark{0.48, 0.41, 0.28};
const Rgb lead{0.36, 0.38, 0.42};
const Rgb leather{0.36, 0.22, 0.12};

void strokeInk(cairo_t* cr, double lineWidth) {
    cairo_set_line_width(cr, lineWidth);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    setColour(cr, ink);
    cairo_stroke(cr);
}

// Canvas cloth: lit from the upper left, darker towards the right.
void fillCloth(cairo_t* cr, double x0, double x1) {
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, 0, x1, 0);
    addStop(p, 0, canvasDark);
    addStop(p, 0.3, canvasLight);
    addStop(p, 1, canvasDark);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    strokeInk(cr, 3.5);
}

void fillMetal(cairo_t* cr, double cx, double cy, double r, const Rgb& light, const Rgb& mid, const Rgb& dark) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - r * 0.35, cy - r * 0.4, r * 0.05, cx, cy, r);
    addStop(p, 0, light);
    addStop(p, 0.45, mid);
    addStop(p, 1, dark);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    strokeInk(cr, 3.5);
}

void drawBolt(cairo_t* cr, double x, double y, double r) {
    addCircle(cr, x, y, r);
    fillMetal(cr, x, y, r, {1, 0.95, 0.7}, brass, copperDark);
}

void drawHose(cairo_t* cr) {
    cairo_move_to(cr, 176, 70);
    cairo_curve_to(cr, 200, 40, 206, 20, 214, -10);
    cairo_set_line_width(cr, 20);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    setColour(cr, ink);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, 14);
    setColour(cr, {0.22, 0.22, 0.24});
    cairo_stroke_preserve(cr);
    double dashes[] = {3, 6};
    cairo_set_dash(cr, dashes, 2, 0);
    cairo_set_line_width(cr, 14);
    setColour(cr, {0.35, 0.35, 0.38});
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
}

void drawArmsAndGloves(cairo_t* cr) {
    for (int side = -1; side <= 1; side += 2) {
        double s = side;
        double shoulder = 128 + s * 96;
        cairo_move_to(cr, shoulder - s * 34, 300);
        cairo_curve_to(cr, shoulder + s * 22, 300, shoulder + s * 30, 400, shoulder + s * 22, 520);
        cairo_line_to(cr, shoulder - s * 26, 520);
        cairo_curve_to(cr, shoulder - s * 24, 420, shoulder - s * 36, 360, shoulder - s * 34, 300);
        cairo_close_path(cr);
        fillCloth(cr, shoulder - 36, shoulder + 36);
        // Cuff and mitt.
        addRoundedRect(cr, shoulder - 28, 505, 52, 22, 6);
        setColour(cr, copperDark);
        cairo_fill_preserve(cr);
        strokeInk(cr, 3);
        addEllipse(cr, shoulder - s * 2, 552, 28, 34, 0);
        cairo_pattern_t* p = cairo_pattern_create_radial(shoulder - 10, 540, 2, shoulder, 552, 36);
        addStop(p, 0, {0.62, 0.42, 0.26});
        addStop(p, 1, leather);
        cairo_set_source(cr, p);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(p);
        strokeInk(cr, 3.5);
        cairo_move_to(cr, shoulder - s * 24, 548);
        cairo_curve_to(cr, shoulder - s * 34, 530, shoulder - s * 24, 520, shoulder - s * 12, 530);
        strokeInk(cr, 2.5);
    }
}

void drawLegsAndBoots(cairo_t* cr) {
    for (int side = -1; side <= 1; side += 2) {
        double s = side;
        double cx = 128 + s * 50;
        cairo_move_to(cr, cx - 44, 536);
        cairo_line_to(cr, cx + 44, 536);
        cairo_curve_to(cr, cx + 48, 600, cx + 44, 660, cx + 40, 700);
        cairo_line_to(cr, cx - 40, 700);
        cairo_curve_to(cr, cx - 44, 660, cx - 48, 600, cx - 44, 536);
        cairo_close_path(cr);
        fillCloth(cr, cx - 46, cx + 46);
        // Knee patch and the folds of heavy cloth above the boot.
        addEllipse(cr, cx, 622, 26, 20, 0);
        setColour(cr, canvasDark, 0.9);
        cairo_fill_preserve(cr);
        strokeInk(cr, 2.5);
        for (int fold = 0; fold < 3; ++fold) {
            double y = 566 + fold * 14 + (fold == 2 ? 90 : 0);
            cairo_move_to(cr, cx - 30 + s * 6, y);
            cairo_curve_to(cr, cx - 10, y + 8, cx + 10, y + 8, cx + 30 + s * 6, y - 2);
            cairo_set_line_width(cr, 2.2);
            setColour(cr, canvasDark, 0.8);
            cairo_stroke(cr);
        }
        // Lead boot: a heavy block with a brass toe cap and straps; the
        // toe points outwards.
        double toe = cx + s * 10;
        cairo_move_to(cr, cx - 42, 694);
        cairo_line_to(cr, cx + 42, 694);
        cairo_line_to(cr, cx + 46, 722);
        cairo_curve_to(cr, toe + 52, 724, toe + 56, 740, toe + 54, 744);
        cairo_line_to(cr, toe - 54, 744);
        cairo_curve_to(cr, toe - 56, 740, toe - 52, 724, cx - 46, 722);
        cairo_close_path(cr);
        cairo_pattern_t* p = cairo_pattern_create_linear(0, 694, 0, 744);
        addStop(p, 0, {0.55, 0.57, 0.62});
        addStop(p, 0.5, lead);
        addStop(p, 1, {0.2, 0.21, 0.24});
        cairo_set_source(cr, p);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(p);
        strokeInk(cr, 3.5);
        addRoundedRect(cr, toe - 56, 742, 112, 10, 4);
        setColour(cr, {0.1, 0.09, 0.08});
        cairo_fill(cr);
        for (double y : {704.0, 716.0}) {
            cairo_move_to(cr, cx - 42, y);
            cairo_line_to(cr, cx + 42, y);
            cairo_set_line_width(cr, 6);
            setColour(cr, leather);
            cairo_stroke(cr);
        }
        drawBolt(cr, cx + s * 30, 710, 5);
    }
}

void drawTorso(cairo_t* cr) {
    cairo_move_to(cr, 40, 290);
    cairo_line_to(cr, 216, 290);
    cairo_curve_to(cr, 236, 380, 232, 470, 222, 540);
    cairo_line_to(cr, 34, 540);
    cairo_curve_to(cr, 24, 470, 20, 380, 40, 290);
    cairo_close_path(cr);
    fillCloth(cr, 24, 234);
    // Seams.
    double dashes[] = {6, 5};
    cairo_set_dash(cr, dashes, 2, 0);
    for (double x : {92.0, 164.0}) {
        cairo_move_to(cr, x, 305);
        cairo_curve_to(cr, x + (x < 128 ? -6 : 6), 400, x, 470, x, 515);
        cairo_set_line_width(cr, 2);
        setColour(cr, canvasDark);
        cairo_stroke(cr);
    }
    cairo_set_dash(cr, nullptr, 0, 0);
    // Belt with three lead weights.
    addRoundedRect(cr, 28, 506, 200, 36, 8);
    setColour(cr, leather);
    cairo_fill_preserve(cr);
    strokeInk(cr, 3);
    for (double x : {44.0, 103.0, 162.0}) {
        addRoundedRect(cr, x, 498, 50, 52, 6);
        cairo_pattern_t* p = cairo_pattern_create_linear(x, 0, x + 50, 0);
        addStop(p, 0, {0.62, 0.64, 0.68});
        addStop(p, 1, {0.26, 0.27, 0.30});
        cairo_set_source(cr, p);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(p);
        strokeInk(cr, 3);
        cairo_move_to(cr, x + 10, 512);
        cairo_line_to(cr, x + 40, 512);
        cairo_set_line_width(cr, 3);
        setColour(cr, {0.8, 0.82, 0.86}, 0.6);
        cairo_stroke(cr);
    }
}

void drawBreastplate(cairo_t* cr) {
    cairo_move_to(cr, 62, 200);
    cairo_line_to(cr, 194, 200);
    cairo_curve_to(cr, 226, 216, 250, 250, 250, 296);
    cairo_line_to(cr, 6, 296);
    cairo_curve_to(cr, 6, 250, 30, 216, 62, 200);
    cairo_close_path(cr);
    fillMetal(cr, 110, 220, 170, copperLight, brass, copperDark);
    addRoundedRect(cr, 4, 288, 248, 16, 6);
    setColour(cr, {0.15, 0.13, 0.12});
    cairo_fill(cr);
    for (int i = 0; i < 7; ++i) drawBolt(cr, 22 + i * 35.3, 280, 5.5);
}

void drawFace(cairo_t* cr, double cx, double cy) {
    // Seen through the glass: bushy brows knitted, heavy-lidded eyes, a
    // big nose and a drooping moustache.
    for (int side = -1; side <= 1; side += 2) {
        double ex = cx + side * 19, ey = cy - 6;
        addEllipse(cr, ex, ey, 11, 9, 0);
        setColour(cr, {0.96, 0.94, 0.88});
        cairo_fill_preserve(cr);
        strokeInk(cr, 2);
        addCircle(cr, ex + 2, ey + 2, 5);
        setColour(cr, ink);
        cairo_fill(cr);
        cairo_move_to(cr, ex - 12, ey - 2);
        cairo_curve_to(cr, ex - 6, ey - 8, ex + 6, ey - 8, ex + 12, ey - 2);
        cairo_line_to(cr, ex + 12, ey - 10);
        cairo_line_to(cr, ex - 12, ey - 10);
        cairo_close_path(cr);
        setColour(cr, {0.85, 0.62, 0.48});
        cairo_fill(cr);
        cairo_move_to(cr, ex - side * 14, ey - 20);
        cairo_line_to(cr, ex + side * 12, ey - 12);
        strokeInk(cr, 6);
    }
    addEllipse(cr, cx, cy + 12, 10, 13, 0);
    setColour(cr, {0.92, 0.60, 0.48});
    cairo_fill_preserve(cr);
    strokeInk(cr, 2);
    cairo_move_to(cr, cx, cy + 22);
    cairo_curve_to(cr, cx - 14, cy + 18, cx - 30, cy + 26, cx - 32, cy + 40);
    cairo_curve_to(cr, cx - 18, cy + 32, cx - 8, cy + 34, cx, cy + 30);
    cairo_curve_to(cr, cx + 8, cy + 34, cx + 18, cy + 32, cx + 32, cy + 40);
    cairo_curve_to(cr, cx + 30, cy + 26, cx + 14, cy + 18, cx, cy + 22);
    cairo_close_path(cr);
    setColour(cr, {0.30, 0.18, 0.10});
    cairo_fill(cr);
}

void drawHelmet(cairo_t* cr) {
    const double cx = 128, cy = 130, r = 92;
    addCircle(cr, cx, cy, r);
    fillMetal(cr, cx, cy, r, copperLight, copper, copperDark);
    // Side windows, seen at an angle.
    for (int side = -1; side <= 1; side += 2) {
        addEllipse(cr, cx + side * 74, cy + 4, 10, 22, 0);
        setColour(cr, brass);
        cairo_fill_preserve(cr);
        strokeInk(cr, 2.5);
        addEllipse(cr, cx + side * 74, cy + 4, 5, 15, 0);
        setColour(cr, {0.10, 0.22, 0.28});
        cairo_fill(cr);
    }
    // Top valve.
    addRoundedRect(cr, cx - 16, cy - r - 8, 32, 18, 5);
    fillMetal(cr, cx, cy - r, 18, {1, 0.95, 0.7}, brass, copperDark);

    // The front window: a glass with the face behind it, a brass ring with
    // bolts, and reflections.
    const double wx = cx, wy = cy + 8, wr = 54;
    cairo_save(cr);
    addCircle(cr, wx, wy, wr);
    cairo_clip(cr);
    cairo_pattern_t* glass = cairo_pattern_create_radial(wx, wy, 4, wx, wy, wr);
    addStop(glass, 0, {0.55, 0.72, 0.72});
    addStop(glass, 1, {0.20, 0.34, 0.38});
    cairo_set_source(cr, glass);
    cairo_paint(cr);
    cairo_pattern_destroy(glass);
    addEllipse(cr, wx, wy + 10, 44, 52, 0);
    setColour(cr, {0.93, 0.72, 0.58});
    cairo_fill(cr);
    drawFace(cr, wx, wy);
    paintGlow(cr, wx - 22, wy - 26, 40, {1, 1, 1}, 0.35);
    cairo_move_to(cr, wx - 40, wy - 6);
    cairo_curve_to(cr, wx - 36, wy - 30, wx - 20, wy - 42, wx + 4, wy - 44);
    cairo_set_line_width(cr, 6);
    setColour(cr, {1, 1, 1}, 0.45);
    cairo_stroke(cr);
    cairo_restore(cr);
    addCircle(cr, wx, wy, wr + 6);
    cairo_set_line_width(cr, 14);
    setColour(cr, brass);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, 3);
    setColour(cr, ink);
    cairo_stroke(cr);
    for (int i = 0; i < 8; ++i) {
        double a = i * M_PI / 4 + M_PI / 8;
        drawBolt(cr, wx + std::cos(a) * (wr + 6), wy + std::sin(a) * (wr + 6), 4.5);
    }
}

}  // namespace

std::unique_ptr<Canvas> drawTolvane() {
    auto canvas = std::make_unique<Canvas>(width, height);
    cairo_t* cr = canvas->context();
    drawHose(cr);
    drawLegsAndBoots(cr);
    drawTorso(cr);
    drawArmsAndGloves(cr);
    drawBreastplate(cr);
    drawHelmet(cr);
    return canvas;
}
