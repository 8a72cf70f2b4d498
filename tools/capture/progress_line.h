// The capture's progress on stderr: frames done of the total, speed as a
// multiple of real time (show seconds per wall-clock second) and the time
// left. On a terminal the line is redrawn in place a few times a second;
// otherwise only the final line is printed, once.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

// The text of one progress line, without line ending. `speed` <= 0 means
// not yet known, and then no time left is given either.
std::string progressText(int64_t framesDone, int64_t framesTotal, double speed, double secondsLeft);
// The closing line, with the wall-clock time taken.
std::string progressSummary(int64_t framesDone, int64_t framesTotal, double speed, double wallSeconds);

class ProgressLine {
public:
    ProgressLine(std::FILE* stream, bool redrawInPlace, int64_t framesTotal);

    // After each frame: how many frames are done and how far into the show
    // (seconds) the capture has come.
    void update(int64_t framesDone, double showSeconds);
    // Prints the closing line.
    void finish();

private:
    double wallSeconds() const;
    double speed() const;

    std::FILE* stream;
    bool redrawInPlace;
    int64_t framesTotal;
    int64_t framesDone = 0;
    double showSeconds = 0;
    std::chrono::steady_clock::time_point start;
    std::chrono::steady_clock::time_point lastDrawn;
    bool drawn = false;
};
