// Where captured frames and sound go. The capture loop hands every output
// the frames of the captured range in order, each with its share of the
// mix, then calls finish once, also after an interruption.
//
// Main thread only. A false result carries a one-line reason in `error`
// and stops the capture; finish is still called.
#pragma once

#include <cstdint>
#include <string>

struct CapturedFrame {
    int64_t index;          // frame number counted from the show's start
    uint64_t milliseconds;  // timer count after the start it was drawn at
    int width;
    int height;
    const uint8_t* rgb;  // width * 3 bytes per row, top row first
};

class CaptureOutput {
public:
    virtual ~CaptureOutput() = default;
    virtual bool writeFrame(const CapturedFrame&, std::string&) { return true; }
    // `frames` interleaved stereo sample frames at 44100 Hz: the mix that
    // belongs to the frame written next.
    virtual bool writeAudio(const int16_t*, int, std::string&) { return true; }
    // Makes what was written whole: a file closed here is valid even when
    // the capture was cut short.
    virtual bool finish(std::string& error) = 0;
};
