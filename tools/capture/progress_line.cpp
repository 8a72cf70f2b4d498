#include "progress_line.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>

namespace {

std::string clockText(double seconds) {
    long whole = std::lround(std::max(0.0, seconds));
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

const std::chrono::milliseconds redrawInterval(200);

}  // namespace

std::string progressText(int64_t framesDone, int64_t framesTotal, double speed, double secondsLeft) {
    char text[160];
    if (speed > 0)
        std::snprintf(text, sizeof text, "vesk-capture: frame %" PRId64 "/%" PRId64 ", %.2fx real time, %s left",
                      framesDone, framesTotal, speed, clockText(secondsLeft).c_str());
    else
        std::snprintf(text, sizeof text, "vesk-capture: frame %" PRId64 "/%" PRId64, framesDone, framesTotal);
    return text;
}

std::string progressSummary(int64_t framesDone, int64_t framesTotal, double speed, double wallSeconds) {
    char text[160];
    std::snprintf(text, sizeof text, "vesk-capture: %" PRId64 " of %" PRId64 " frames in %s, %.2fx real time",
                  framesDone, framesTotal, clockText(wallSeconds).c_str(), speed);
    return text;
}

ProgressLine::ProgressLine(std::FILE* stream, bool redrawInPlace, int64_t framesTotal)
    : stream(stream),
      redrawInPlace(redrawInPlace),
      framesTotal(framesTotal),
      start(std::chrono::steady_clock::now()),
      lastDrawn(start) {}

double ProgressLine::wallSeconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double ProgressLine::speed() const {
    double wall = wallSeconds();
    return wall > 0 ? showSeconds / wall : 0;
}

void ProgressLine::update(int64_t done, double seconds) {
    framesDone = done;
    showSeconds = seconds;
    if (!redrawInPlace) return;
    auto now = std::chrono::steady_clock::now();
    if (drawn && now - lastDrawn < redrawInterval) return;
    lastDrawn = now;
    drawn = true;
    double wall = wallSeconds();
    double left = framesDone > 0 ? wall * static_cast<double>(framesTotal - framesDone) / framesDone : 0;
    // Clear to the end of the line: the new text may be shorter.
    std::fprintf(stream, "\r%s\x1b[K", progressText(framesDone, framesTotal, speed(), left).c_str());
    std::fflush(stream);
}

void ProgressLine::finish() {
    std::string summary = progressSummary(framesDone, framesTotal, speed(), wallSeconds());
    std::fprintf(stream, redrawInPlace ? "\r%s\x1b[K\n" : "%s\n", summary.c_str());
    std::fflush(stream);
}
