// A cairo drawing surface for one picture: 32-bit, antialiased, cleared to
// transparent. Coordinates are pixels, origin top left, y down, as cairo
// has them; the top row becomes the file's first row, which the show puts
// at the top of the sprite.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    cairo_t* context() const { return cr; }

    // Straight-alpha RGBA, top row first. Fully transparent pixels take the
    // colour of the nearest drawn pixels (a few pixels deep), so that the
    // show's linear texture filtering blends edges towards the picture's
    // own colours instead of towards black.
    std::vector<uint8_t> straightRgba() const;
    bool writePng(const std::string& path) const;

private:
    int width_;
    int height_;
    cairo_surface_t* surface;
    cairo_t* cr;
};
