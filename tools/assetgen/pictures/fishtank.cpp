// The aquarium, seen through the front glass: a water gradient from the lit
// surface down to the deep, light shafts falling from the upper right, a
// far school of fish, rocks and dim kelp in the haze, a sand floor with
// ripples, caustics and pebbles, tall kelp at both sides (the middle stays
// open for the fish), a few drifting bubbles and a vignette. 512 x 512,
// every pixel opaque.
#include "pictures/pictures.h"

#include "draw/paint.h"
#include "random.h"

#include <cmath>

namespace {

const int size = 512;

// The sand's top edge at column x, y in pixels from the top.
double sandTop(double x) { return 432 + 9 * std::sin(x * 0.011 + 0.8) + 5 * std::sin(x * 0.029 + 2.1); }

void paintWater(cairo_t* cr) {
    cairo_rectangle(cr, 0, 0, size, size);
    cairo_pattern_t* water = cairo_pattern_create_linear(0, 0, 0, size);
    addStop(water, 0.0, {0.20, 0.58, 0.68});
    addStop(water, 0.35, {0.08, 0.38, 0.55});
    addStop(water, 0.75, {0.04, 0.20, 0.38});
    addStop(water, 1.0, {0.02, 0.11, 0.24});
    cairo_set_source(cr, water);
    cairo_fill(cr);
    cairo_pattern_destroy(water);
    paintGlow(cr, 330, -60, 380, {0.75, 0.95, 1.0}, 0.30);
}

// Shafts fan out from a point above the surface; each fades with depth.
void paintLightShafts(cairo_t* cr, Random& random) {
    const double sourceX = 380, sourceY = -420;
    for (int i = 0; i < 7; ++i) {
        double topX = 120 + i * 62 + random.between(-15, 15);
        double halfWidth = random.between(10, 26);
        double depth = random.between(330, 470);
        // Points at the surface and at `depth`, on the lines from the source.
        auto at = [&](double x, double y) { return sourceX + (x - sourceX) * (y - sourceY) / (0 - sourceY); };
        cairo_move_to(cr, topX - halfWidth, 0);
        cairo_line_to(cr, topX + halfWidth, 0);
        cairo_line_to(cr, at(topX + halfWidth, depth) + halfWidth * 0.8, depth);
        cairo_line_to(cr, at(topX - halfWidth, depth) - halfWidth * 0.8, depth);
        cairo_close_path(cr);
        fillVertical(cr, 0, {0.85, 0.97, 1.0}, random.between(0.10, 0.18), depth, {0.6, 0.9, 1.0}, 0.0);
    }
}

void paintFarRocks(cairo_t* cr) {
    cairo_move_to(cr, 0, 440);
    for (int x = 0; x <= size; x += 4)
        cairo_line_to(cr, x, 392 - 28 * std::pow(std::fabs(std::sin(x * 0.009 + 0.4)), 1.5) -
                                 10 * std::sin(x * 0.05 + 1.0));
    cairo_line_to(cr, size, 440);
    cairo_close_path(cr);
    fillVertical(cr, 340, {0.05, 0.22, 0.34}, 0.85, 440, {0.04, 0.16, 0.26}, 1.0);
}

// One kelp plant: a swaying stem from the sand and blades along it,
// alternating sides. `x` is its base, `height` its length in pixels.
void paintKelp(cairo_t* cr, Random& random, double x, double height, const Rgb& dark, const Rgb& light,
               double alpha) {
    const double baseY = sandTop(x) + 6;
    const double sway = random.between(10, 22), wavelength = random.between(120, 180), phase = random.between(0, 6);
    auto stemX = [&](double along) {
        return x + sway * std::sin(along / wavelength * 2 * M_PI + phase) * (along / height);
    };
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, stemX(0), baseY);
    for (double along = 4; along <= height; along += 4) cairo_line_to(cr, stemX(along), baseY - along);
    cairo_set_line_width(cr, 4);
    setColour(cr, dark, alpha);
    cairo_stroke(cr);

    int side = random.unit() < 0.5 ? -1 : 1;
    for (double along = 22; along < height - 6; along += random.between(20, 30)) {
        double sx = stemX(along), sy = baseY - along;
        double length = random.between(34, 50) * (1 - 0.35 * along / height);
        double bladeWidth = random.between(8, 12);
        double angle = side * random.between(0.55, 0.9);  // radians away from straight up
        cairo_save(cr);
        cairo_translate(cr, sx, sy);
        cairo_rotate(cr, angle);
        // A blade pointing up from the stem, ruffled along one edge.
        cairo_move_to(cr, 0, 0);
        cairo_curve_to(cr, -bladeWidth, -length * 0.3, -bladeWidth * 0.8, -length * 0.8, 0, -length);
        cairo_curve_to(cr, bladeWidth * 0.9, -length * 0.75, bladeWidth * 1.1, -length * 0.3, 0, 0);
        cairo_close_path(cr);
        cairo_pattern_t* fill = cairo_pattern_create_linear(-bladeWidth, 0, bladeWidth, 0);
        addStop(fill, 0, dark, alpha);
        addStop(fill, 0.6, light, alpha);
        addStop(fill, 1, dark, alpha);
        cairo_set_source(cr, fill);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(fill);
        cairo_set_line_width(cr, 1.2);
        setColour(cr, scaledRgb(dark, 0.7), alpha);
        cairo_stroke(cr);
        cairo_move_to(cr, 0, 0);
        cairo_curve_to(cr, 0, -length * 0.4, 0, -length * 0.7, 0, -length * 0.95);
        cairo_set_line_width(cr, 1.0);
        setColour(cr, scaledRgb(dark, 0.8), alpha * 0.8);
        cairo_stroke(cr);
        cairo_restore(cr);
        side = -side;
    }
}

void paintSand(cairo_t* cr, Random& random) {
    cairo_move_to(cr, 0, size);
    for (int x = 0; x <= size; x += 2) cairo_line_to(cr, x, sandTop(x));
    cairo_line_to(cr, size, size);
    cairo_close_path(cr);
    fillVertical(cr, 420, {0.86, 0.76, 0.52}, 1, size, {0.52, 0.42, 0.27}, 1);

    // Ripples: darker wavy lines with a lit edge above each.
    for (int i = 0; i < 9; ++i) {
        double y = 452 + i * 7 + random.between(-2, 2);
        double x0 = random.between(-40, size - 120), length = random.between(120, 260);
        for (int lit = 0; lit < 2; ++lit) {
            cairo_move_to(cr, x0, y - lit * 1.6);
            for (double x = x0; x <= x0 + length; x += 6) cairo_line_to(cr, x, y - lit * 1.6 + 2.2 * std::sin(x * 0.09 + i));
            cairo_set_line_width(cr, 1.6);
            if (lit)
                setColour(cr, {1.0, 0.95, 0.8}, 0.22);
            else
                setColour(cr, {0.42, 0.33, 0.2}, 0.3);
            cairo_stroke(cr);
        }
    }
    // Grains.
    for (int i = 0; i < 1400; ++i) {
        double x = random.between(0, size);
        double y = random.between(sandTop(x) + 2, size);
        bool lightGrain = random.unit() < 0.5;
        addCircle(cr, x, y, random.between(0.5, 1.2));
        setColour(cr, lightGrain ? Rgb{1.0, 0.95, 0.82} : Rgb{0.35, 0.27, 0.16}, random.between(0.25, 0.55));
        cairo_fill(cr);
    }
}

// Caustics: the surface's ripples focus the light into a loose net of
// bright lines dancing over the sand.
void paintCaustics(cairo_t* cr, Random& random) {
    cairo_save(cr);
    cairo_move_to(cr, 0, size);
    for (int x = 0; x <= size; x += 2) cairo_line_to(cr, x, sandTop(x));
    cairo_line_to(cr, size, size);
    cairo_close_path(cr);
    cairo_clip(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < 60; ++i) {
        double x = random.between(0, size), y = random.between(430, 500);
        double length = random.between(14, 34), bend = random.between(-6, 6);
        cairo_move_to(cr, x, y);
        cairo_curve_to(cr, x + length / 3, y + bend, x + 2 * length / 3, y - bend, x + length, y + random.between(-4, 4));
        cairo_set_line_width(cr, random.between(1.0, 2.2));
        setColour(cr, {1.0, 0.98, 0.85}, random.between(0.12, 0.28) * (1 - (y - 430) / 90));
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

// A far school of small fish in the haze, upper left, all heading right.
void paintDistantSchool(cairo_t* cr, Random& random) {
    for (int i = 0; i < 9; ++i) {
        double x = 150 + random.between(-40, 60) + i * 9, y = 150 + random.between(-28, 28);
        double length = random.between(7, 11);
        cairo_move_to(cr, x + length, y);
        cairo_curve_to(cr, x + length * 0.5, y - length * 0.45, x - length * 0.2, y - length * 0.3, x - length * 0.45, y);
        cairo_line_to(cr, x - length * 0.9, y - length * 0.35);
        cairo_line_to(cr, x - length * 0.8, y);
        cairo_line_to(cr, x - length * 0.9, y + length * 0.35);
        cairo_line_to(cr, x - length * 0.45, y);
        cairo_curve_to(cr, x - length * 0.2, y + length * 0.3, x + length * 0.5, y + length * 0.45, x + length, y);
        cairo_close_path(cr);
        setColour(cr, {0.05, 0.22, 0.32}, 0.45);
        cairo_fill(cr);
    }
}

void paintPebbles(cairo_t* cr, Random& random) {
    const Rgb colours[] = {{0.55, 0.55, 0.58}, {0.62, 0.45, 0.32}, {0.40, 0.42, 0.40},
                           {0.75, 0.70, 0.62}, {0.50, 0.30, 0.22}, {0.30, 0.33, 0.38}};
    for (int i = 0; i < 34; ++i) {
        double x = random.between(8, size - 8);
        double y = random.between(sandTop(x) + 10, size - 4);
        double depthScale = 0.6 + 0.6 * (y - 430) / 82;  // nearer pebbles are bigger
        double rx = random.between(5, 13) * depthScale, ry = rx * random.between(0.5, 0.7);
        double angle = random.between(-0.4, 0.4);
        const Rgb& colour = colours[random.next() % 6];
        addEllipse(cr, x + rx * 0.15, y + ry * 0.45, rx * 1.05, ry * 0.8, angle);
        setColour(cr, {0.2, 0.15, 0.08}, 0.35);
        cairo_fill(cr);
        cairo_pattern_t* shade = cairo_pattern_create_radial(x - rx * 0.35, y - ry * 0.45, 0, x, y, rx * 1.1);
        addStop(shade, 0, mixRgb(colour, {1, 1, 1}, 0.45));
        addStop(shade, 0.55, colour);
        addStop(shade, 1, scaledRgb(colour, 0.55));
        cairo_set_source(cr, shade);
        addEllipse(cr, x, y, rx, ry, angle);
        cairo_fill(cr);
        cairo_pattern_destroy(shade);
    }
}

void paintDriftingBubbles(cairo_t* cr, Random& random) {
    for (int i = 0; i < 14; ++i) {
        double x = i < 7 ? random.between(30, 150) : random.between(360, 490);
        double y = random.between(60, 380);
        double r = random.between(1.5, 4.5);
        addCircle(cr, x, y, r);
        setColour(cr, {0.85, 0.97, 1.0}, 0.12);
        cairo_fill_preserve(cr);
        setColour(cr, {0.9, 1.0, 1.0}, 0.55);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
        paintGlow(cr, x - r * 0.35, y - r * 0.35, r * 0.5, {1, 1, 1}, 0.7);
    }
}

void paintVignette(cairo_t* cr) {
    cairo_pattern_t* vignette = cairo_pattern_create_radial(size / 2.0, size * 0.45, size * 0.3, size / 2.0,
                                                            size * 0.45, size * 0.78);
    addStop(vignette, 0, {0, 0.02, 0.05}, 0);
    addStop(vignette, 1, {0, 0.02, 0.05}, 0.45);
    cairo_set_source(cr, vignette);
    cairo_paint(cr);
    cairo_pattern_destroy(vignette);
}

}  // namespace

std::unique_ptr<Canvas> drawFishtank() {
    auto canvas = std::make_unique<Canvas>(size, size);
    cairo_t* cr = canvas->context();
    Random random(1907);

    paintWater(cr);
    paintLightShafts(cr, random);
    paintDistantSchool(cr, random);
    paintFarRocks(cr);
    const Rgb hazeDark{0.05, 0.24, 0.25}, hazeLight{0.10, 0.36, 0.32};
    for (double x : {30.0, 175.0, 300.0, 470.0}) paintKelp(cr, random, x, random.between(200, 300), hazeDark, hazeLight, 0.55);
    paintSand(cr, random);
    paintCaustics(cr, random);
    paintPebbles(cr, random);
    const Rgb kelpDark{0.16, 0.34, 0.10}, kelpLight{0.45, 0.62, 0.18};
    for (double x : {18.0, 58.0, 98.0}) paintKelp(cr, random, x, random.between(300, 400), kelpDark, kelpLight, 1.0);
    for (double x : {420.0, 462.0, 500.0}) paintKelp(cr, random, x, random.between(280, 390), kelpDark, kelpLight, 1.0);
    paintDriftingBubbles(cr, random);
    paintVignette(cr);
    return canvas;
}
