#include "draw/canvas.h"

#include "output/png_file.h"

namespace {

const int bleedPasses = 4;

// Gives every transparent pixel next to a coloured one the average colour
// of its coloured neighbours, `passes` times over.
void bleedColourIntoTransparency(std::vector<uint8_t>& rgba, int width, int height, int passes) {
    std::vector<uint8_t> coloured(size_t(width) * size_t(height));
    for (size_t i = 0; i < coloured.size(); ++i) coloured[i] = rgba[4 * i + 3] != 0;
    for (int pass = 0; pass < passes; ++pass) {
        std::vector<uint8_t> next = coloured;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                size_t here = size_t(y) * size_t(width) + size_t(x);
                if (coloured[here]) continue;
                int sum[3] = {0, 0, 0};
                int count = 0;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        int nx = x + dx, ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= width || ny >= height) continue;
                        size_t n = size_t(ny) * size_t(width) + size_t(nx);
                        if (!coloured[n]) continue;
                        for (int c = 0; c < 3; ++c) sum[c] += rgba[4 * n + size_t(c)];
                        ++count;
                    }
                }
                if (count == 0) continue;
                for (int c = 0; c < 3; ++c) rgba[4 * here + size_t(c)] = uint8_t((sum[c] + count / 2) / count);
                next[here] = 1;
            }
        }
        coloured.swap(next);
    }
}

}  // namespace

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr(cairo_create(surface)) {
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_BEST);
}

Canvas::~Canvas() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

std::vector<uint8_t> Canvas::straightRgba() const {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    std::vector<uint8_t> rgba(size_t(width_) * size_t(height_) * 4);
    for (int y = 0; y < height_; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < width_; ++x) {
            // Premultiplied 0xAARRGGBB in native byte order.
            uint32_t p = row[x];
            unsigned a = p >> 24;
            unsigned r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
            uint8_t* out = &rgba[(size_t(y) * size_t(width_) + size_t(x)) * 4];
            if (a == 0) {
                out[0] = out[1] = out[2] = out[3] = 0;
                continue;
            }
            out[0] = uint8_t((r * 255 + a / 2) / a);
            out[1] = uint8_t((g * 255 + a / 2) / a);
            out[2] = uint8_t((b * 255 + a / 2) / a);
            out[3] = uint8_t(a);
        }
    }
    bleedColourIntoTransparency(rgba, width_, height_, bleedPasses);
    return rgba;
}

bool Canvas::writePng(const std::string& path) const {
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) return false;
    return writePngFile(path, width_, height_, straightRgba());
}
