// A contact sheet: twelve frames spread evenly over the captured range,
// four across and three down, each shrunk to 256 pixels wide and labelled
// below with the show time it was drawn at (DejaVu Sans, through cairo).
// Written as one PNG when the capture finishes; an interrupted capture
// leaves the cells of frames it did not reach empty.
#pragma once

#include "capture_output.h"

#include <cairo.h>

#include <array>
#include <memory>
#include <string>

class ContactSheet : public CaptureOutput {
public:
    static const int cellCount = 12;
    static const int columns = 4;
    static const int thumbnailWidth = 256;

    // The frames of the range [firstFrame, firstFrame + frameCount), each
    // of `frameWidth` x `frameHeight` pixels. Null, with a reason in
    // `error`, when cairo cannot make the surfaces.
    static std::unique_ptr<ContactSheet> create(const std::string& path, int64_t firstFrame, int64_t frameCount,
                                                int frameWidth, int frameHeight, std::string& error);
    ~ContactSheet() override;

    // Which frames fill the cells: the middle frame of each of twelve equal
    // parts of the range, so that the first and last cells are not the
    // range's black edges. With fewer than twelve frames some repeat.
    static std::array<int64_t, cellCount> chooseFrames(int64_t firstFrame, int64_t frameCount);

    bool writeFrame(const CapturedFrame& frame, std::string& error) override;
    bool finish(std::string& error) override;

    ContactSheet(const ContactSheet&) = delete;
    ContactSheet& operator=(const ContactSheet&) = delete;

private:
    ContactSheet(const std::string& path, int64_t firstFrame, int64_t frameCount, int frameWidth, int frameHeight);
    bool makeSurfaces(std::string& error);
    void drawCell(int cell, const CapturedFrame& frame);

    std::string path;
    std::array<int64_t, cellCount> chosen;
    int frameWidth;
    int frameHeight;
    int thumbnailHeight;
    cairo_surface_t* sheet = nullptr;
    cairo_surface_t* staging = nullptr;  // one frame, reused for every cell
    bool finished = false;
};
