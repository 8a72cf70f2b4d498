#include "capture_loop.h"

#include "captured_show.h"
#include "interrupt.h"

CaptureLoop::CaptureLoop(const FrameTiming& timing, OffscreenContext& context,
                         const std::vector<CaptureOutput*>& outputs)
    : timing(timing),
      context(context),
      outputs(outputs),
      picture(static_cast<size_t>(context.width()) * context.height() * 3),
      sound(static_cast<size_t>(timing.maxSamplesPerFrame()) * 2) {}

bool CaptureLoop::writeSound(int frames, std::string& error) {
    for (CaptureOutput* output : outputs)
        if (!output->writeAudio(sound.data(), frames, error)) return false;
    return true;
}

bool CaptureLoop::writePicture(int64_t index, uint64_t milliseconds, std::string& error) {
    context.readPicture(picture.data());
    const CapturedFrame frame = {index, milliseconds, context.width(), context.height(), picture.data()};
    for (CaptureOutput* output : outputs)
        if (!output->writeFrame(frame, error)) return false;
    return true;
}

CaptureEnd CaptureLoop::captureRange(int64_t firstFrame, int64_t endFrame, ProgressLine& progress,
                                     std::string& error) {
    for (int64_t frame = 0; frame < endFrame; ++frame) {
        if (interruptRequested()) return CaptureEnd::Interrupted;
        const uint64_t milliseconds = timing.frameMilliseconds(frame);
        if (!drawShowFrame(milliseconds)) break;
        const int samples = timing.samplesOfFrame(frame);
        mixShowSound(sound.data(), samples);
        if (frame >= firstFrame) {
            // Sound before picture: the encoder then always holds the sound
            // up to the frame it is waiting for.
            if (!writeSound(samples, error) || !writePicture(frame, milliseconds, error)) return CaptureEnd::Failed;
        }
        progress.update(frame + 1, milliseconds / 1000.0);
    }
    return CaptureEnd::Completed;
}

int64_t CaptureLoop::stillsFrameCount(const FrameTiming& timing, const std::vector<uint64_t>& stillMilliseconds) {
    if (stillMilliseconds.empty()) return 0;
    // Every frame before the last still, plus each still not already one.
    int64_t count = timing.firstFrameAtOrAfter(stillMilliseconds.back());
    for (uint64_t still : stillMilliseconds)
        if (still == stillMilliseconds.back() || timing.frameMilliseconds(timing.firstFrameAtOrAfter(still)) != still)
            ++count;
    return count;
}

CaptureEnd CaptureLoop::captureStills(const std::vector<uint64_t>& stillMilliseconds, ProgressLine& progress,
                                      std::string& error) {
    int64_t frame = 0;
    int64_t drawn = 0;
    for (uint64_t still : stillMilliseconds) {
        while (true) {
            if (interruptRequested()) return CaptureEnd::Interrupted;
            const uint64_t milliseconds = timing.frameMilliseconds(frame);
            const bool onFrame = milliseconds == still;
            const uint64_t drawAt = milliseconds < still ? milliseconds : still;
            if (!drawShowFrame(drawAt)) {
                error = "the show ended before the still at " + std::to_string(still) + " ms";
                return CaptureEnd::Failed;
            }
            ++drawn;
            // Only the frames of the rate advance the sound: a still drawn
            // between two frames takes no time of its own.
            if (milliseconds <= still) {
                mixShowSound(sound.data(), timing.samplesOfFrame(frame));
                ++frame;
            }
            progress.update(drawn, drawAt / 1000.0);
            if (drawAt == still) {
                if (!writePicture(onFrame ? frame - 1 : -1, still, error)) return CaptureEnd::Failed;
                break;
            }
        }
    }
    return CaptureEnd::Completed;
}
