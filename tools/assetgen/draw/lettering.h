// Lettering in DejaVu through cairo's text API: outlines added to the
// current path, so a picture can fill, stroke or shadow them. Sizes and
// positions are in the picture's pixels (or the current user space).
#pragma once

#include <cairo.h>

#include <string>

struct Typeface {
    const char* family;  // "DejaVu Sans", "DejaVu Serif", ...
    bool bold;
    bool italic;
};

const Typeface sansBold{"DejaVu Sans", true, false};
const Typeface sansBook{"DejaVu Sans", false, false};
const Typeface sansItalic{"DejaVu Sans", false, true};
const Typeface serifBold{"DejaVu Serif", true, false};
const Typeface serifItalic{"DejaVu Serif", false, true};

// The ink of a line of text set at the origin (baseline y = 0): its left
// edge, top (negative: above the baseline), width and height.
struct InkBox {
    double left;
    double top;
    double width;
    double height;
};

// `tracking` is extra space between letters, in pixels.
InkBox measureText(cairo_t* cr, const std::string& text, const Typeface& face, double size, double tracking = 0);

// Adds the outlines of `text` with its ink centred on `centreX` and its
// baseline on `baselineY`.
void addCentredText(cairo_t* cr, const std::string& text, const Typeface& face, double size, double centreX,
                    double baselineY, double tracking = 0);

// The largest size up to `maxSize` at which the text's ink is at most
// `maxWidth` wide.
double sizeToFit(cairo_t* cr, const std::string& text, const Typeface& face, double maxSize, double maxWidth,
                 double tracking = 0);
