// The command line of vesk-capture: what to render and where to write it.
// Parsing needs no GL and no show; it checks each value and the options'
// combinations, and says in one line what is wrong.
#pragma once

#include "frame_timing.h"

#include <cstdint>
#include <string>
#include <vector>

struct CaptureOptions {
    FrameRate fps;  // 60 unless --fps
    int width = 512;
    int height = 512;
    uint32_t seed = 1;
    // The range of show time to write, [fromMilliseconds, toMilliseconds).
    uint64_t fromMilliseconds = 0;
    bool hasTo = false;  // without --to, the range runs to the show's end
    uint64_t toMilliseconds = 0;
    // The manual timer's count at start-up; the show's clock only ever sees
    // differences, so any start must give the same capture.
    uint32_t timerStart = 0;

    std::string framesDirectory;               // --frames
    std::vector<uint64_t> stillMilliseconds;   // --at, sorted, no repeats
    std::string stillsDirectory;               // --stills
    std::string audioPath;                     // --audio
    std::string videoPath;                     // --video
    std::string sheetPath;                     // --sheet
};

enum class ParseOutcome { Run, Help, Version, Error };

struct ParsedCommandLine {
    ParseOutcome outcome = ParseOutcome::Error;
    CaptureOptions options;
    std::string error;  // one line, without the program name, for Error
};

ParsedCommandLine parseCaptureOptions(int argc, const char* const* argv);

// The one-line synopsis, the full description of every option, and the
// "vesk-capture VERSION" line.
const char* captureUsage();
const char* captureHelp();
const char* captureVersion();

// Without a data/ directory in the working directory, the installed show's
// under `installedParent` is used: every output path is made absolute first,
// so that it still names a place under the user's directory, and then the
// process moves there (the show reads data/ relative to it). With neither,
// nothing changes: the show's "Error" boxes name each file it cannot load.
// False, with a one-line reason, when the installed data cannot be entered.
bool useInstalledDataIfNeeded(CaptureOptions& options, const std::string& installedParent, std::string& error);

// Value parsers, exposed for their own tests. Each returns false for text
// that is not wholly a value of its kind or lies out of range.
bool parseFrameRate(const std::string& text, FrameRate& rate);
bool parseSize(const std::string& text, int& width, int& height);
// Seconds with an optional fraction, rounded to the nearest millisecond.
bool parseSeconds(const std::string& text, uint64_t& milliseconds);
bool parseUnsigned32(const std::string& text, uint32_t& value);
