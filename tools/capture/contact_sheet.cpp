#include "contact_sheet.h"

#include "png_writer.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <vector>

namespace {

const int margin = 8;
const int labelHeight = 22;
const double labelFontSize = 14;
const int rows = ContactSheet::cellCount / ContactSheet::columns;

}  // namespace

std::array<int64_t, ContactSheet::cellCount> ContactSheet::chooseFrames(int64_t firstFrame, int64_t frameCount) {
    std::array<int64_t, cellCount> frames;
    for (int cell = 0; cell < cellCount; ++cell)
        frames[cell] = firstFrame + (2 * cell + 1) * frameCount / (2 * cellCount);
    return frames;
}

ContactSheet::ContactSheet(const std::string& path, int64_t firstFrame, int64_t frameCount, int frameWidth,
                           int frameHeight)
    : path(path),
      chosen(chooseFrames(firstFrame, frameCount)),
      frameWidth(frameWidth),
      frameHeight(frameHeight),
      thumbnailHeight(std::max(1, (thumbnailWidth * frameHeight + frameWidth / 2) / frameWidth)) {}

std::unique_ptr<ContactSheet> ContactSheet::create(const std::string& path, int64_t firstFrame, int64_t frameCount,
                                                   int frameWidth, int frameHeight, std::string& error) {
    std::unique_ptr<ContactSheet> result(new ContactSheet(path, firstFrame, frameCount, frameWidth, frameHeight));
    if (!result->makeSurfaces(error)) return nullptr;
    return result;
}

bool ContactSheet::makeSurfaces(std::string& error) {
    const int width = columns * thumbnailWidth + (columns + 1) * margin;
    const int height = rows * (thumbnailHeight + labelHeight) + (rows + 1) * margin;
    sheet = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    staging = cairo_image_surface_create(CAIRO_FORMAT_RGB24, frameWidth, frameHeight);
    if (cairo_surface_status(sheet) != CAIRO_STATUS_SUCCESS || cairo_surface_status(staging) != CAIRO_STATUS_SUCCESS) {
        error = "cannot make the contact sheet: " +
                std::string(cairo_status_to_string(cairo_surface_status(sheet) != CAIRO_STATUS_SUCCESS
                                                       ? cairo_surface_status(sheet)
                                                       : cairo_surface_status(staging)));
        return false;
    }
    cairo_t* cr = cairo_create(sheet);
    cairo_set_source_rgb(cr, 0.12, 0.12, 0.12);
    cairo_paint(cr);
    cairo_destroy(cr);
    return true;
}

ContactSheet::~ContactSheet() {
    if (staging) cairo_surface_destroy(staging);
    if (sheet) cairo_surface_destroy(sheet);
}

void ContactSheet::drawCell(int cell, const CapturedFrame& frame) {
    // cairo's RGB24 is one native 32-bit word per pixel, 0x00RRGGBB.
    cairo_surface_flush(staging);
    unsigned char* data = cairo_image_surface_get_data(staging);
    const int stride = cairo_image_surface_get_stride(staging);
    for (int y = 0; y < frameHeight; ++y) {
        uint32_t* to = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        const uint8_t* from = frame.rgb + static_cast<size_t>(y) * frameWidth * 3;
        for (int x = 0; x < frameWidth; ++x)
            to[x] = (uint32_t{from[3 * x]} << 16) | (uint32_t{from[3 * x + 1]} << 8) | from[3 * x + 2];
    }
    cairo_surface_mark_dirty(staging);

    const double left = margin + (cell % columns) * (thumbnailWidth + margin);
    const double top = margin + (cell / columns) * (thumbnailHeight + labelHeight + margin);
    cairo_t* cr = cairo_create(sheet);
    cairo_save(cr);
    cairo_translate(cr, left, top);
    cairo_scale(cr, static_cast<double>(thumbnailWidth) / frameWidth,
                static_cast<double>(thumbnailHeight) / frameHeight);
    cairo_set_source_surface(cr, staging, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_restore(cr);

    char label[32];
    std::snprintf(label, sizeof label, "%" PRIu64 ".%03" PRIu64 " s", frame.milliseconds / 1000,
                  frame.milliseconds % 1000);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, labelFontSize);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, label, &extents);
    cairo_set_source_rgb(cr, 0.9, 0.9, 0.9);
    cairo_move_to(cr, left + (thumbnailWidth - extents.width) / 2 - extents.x_bearing,
                  top + thumbnailHeight + (labelHeight + labelFontSize) / 2 - 2);
    cairo_show_text(cr, label);
    cairo_destroy(cr);
}

bool ContactSheet::writeFrame(const CapturedFrame& frame, std::string&) {
    for (int cell = 0; cell < cellCount; ++cell)
        if (chosen[cell] == frame.index) drawCell(cell, frame);
    return true;
}

bool ContactSheet::finish(std::string& error) {
    if (finished) return true;
    finished = true;
    cairo_surface_flush(sheet);
    const int width = cairo_image_surface_get_width(sheet);
    const int height = cairo_image_surface_get_height(sheet);
    const int stride = cairo_image_surface_get_stride(sheet);
    const unsigned char* data = cairo_image_surface_get_data(sheet);
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const uint32_t* from = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        uint8_t* to = rgb.data() + static_cast<size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            to[3 * x] = static_cast<uint8_t>(from[x] >> 16);
            to[3 * x + 1] = static_cast<uint8_t>(from[x] >> 8);
            to[3 * x + 2] = static_cast<uint8_t>(from[x]);
        }
    }
    return writePng(path.c_str(), rgb.data(), width, height, error);
}
