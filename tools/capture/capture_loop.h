// The frame loop of a capture: draws the show frame by frame at the
// capture's rate, mixes each frame's share of the sound right after its
// timeline run (so that a sample started in frame k starts at frame k's
// first sample), and hands the frames and sound of the captured range to
// the outputs.
//
// Frames before the range are drawn and mixed too, so that effects that
// integrate motion have their history, but are not read back or written.
// An interruption (see interrupt.h) stops the loop between frames.
//
// Main thread only, with the show started and its GL context current.
#pragma once

#include "capture_output.h"
#include "frame_timing.h"
#include "offscreen_context.h"
#include "progress_line.h"

#include <cstdint>
#include <string>
#include <vector>

enum class CaptureEnd { Completed, Interrupted, Failed };

class CaptureLoop {
public:
    CaptureLoop(const FrameTiming& timing, OffscreenContext& context, const std::vector<CaptureOutput*>& outputs);

    // Runs frames 0 up to `endFrame` (exclusive) and writes the frames from
    // `firstFrame` on, with their sound. Stops early, as Completed, if the
    // show ends first.
    CaptureEnd captureRange(int64_t firstFrame, int64_t endFrame, ProgressLine& progress, std::string& error);

    // Runs the show from 0 at the capture's rate and writes one frame drawn
    // at exactly each of `stillMilliseconds` (ascending). A still between
    // two frames is drawn as a frame of its own, between them. No sound is
    // written. Failed if the show ends before a still.
    CaptureEnd captureStills(const std::vector<uint64_t>& stillMilliseconds, ProgressLine& progress,
                             std::string& error);
    // How many frames captureStills draws, for the progress line.
    static int64_t stillsFrameCount(const FrameTiming& timing, const std::vector<uint64_t>& stillMilliseconds);

private:
    bool writeSound(int frames, std::string& error);
    bool writePicture(int64_t index, uint64_t milliseconds, std::string& error);

    FrameTiming timing;
    OffscreenContext& context;
    std::vector<CaptureOutput*> outputs;
    std::vector<uint8_t> picture;  // reused: no allocation per frame
    std::vector<int16_t> sound;
};
