// vesk-capture: renders the show off-screen, deterministically, to PNG
// frames, stills, a WAV of its sound, an MP4 and a contact sheet. See
// captureHelp() for the options.
#include "capture_loop.h"
#include "capture_options.h"
#include "captured_show.h"
#include "contact_sheet.h"
#include "interrupt.h"
#include "offscreen_context.h"
#include "picture_files.h"
#include "progress_line.h"
#include "video_encoder.h"
#include "wav_writer.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

const int exitFailed = 1;
const int exitUsage = 2;

int usageError(const std::string& reason) {
    std::fprintf(stderr, "vesk-capture: %s\n%s", reason.c_str(), captureUsage());
    return exitUsage;
}

int failure(const std::string& reason) {
    std::fprintf(stderr, "vesk-capture: %s\n", reason.c_str());
    return exitFailed;
}

std::string secondsText(uint64_t milliseconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%" PRIu64 ".%03" PRIu64 " s", milliseconds / 1000, milliseconds % 1000);
    return text;
}

// The outputs that need nothing from the show, made before it starts so
// that a missing ffmpeg or an unwritable path fails at once.
bool makeEarlyOutputs(const CaptureOptions& options, std::vector<std::unique_ptr<CaptureOutput>>& outputs,
                      std::string& error) {
    if (!options.framesDirectory.empty()) {
        auto frames = PictureFiles::create(options.framesDirectory, PictureFiles::Naming::ByFrameIndex, error);
        if (!frames) return false;
        outputs.push_back(std::move(frames));
    }
    if (!options.stillsDirectory.empty()) {
        auto stills = PictureFiles::create(options.stillsDirectory, PictureFiles::Naming::ByMilliseconds, error);
        if (!stills) return false;
        outputs.push_back(std::move(stills));
    }
    if (!options.audioPath.empty()) {
        auto wav = WavWriter::create(options.audioPath, error);
        if (!wav) return false;
        outputs.push_back(std::move(wav));
    }
    if (!options.videoPath.empty()) {
        auto video = VideoEncoder::create(options.videoPath, options.width, options.height, options.fps, error);
        if (!video) return false;
        outputs.push_back(std::move(video));
    }
    return true;
}

// Every output is finished, even after a failure, so that each file is
// left whole; the first reason is kept.
bool finishAll(std::vector<std::unique_ptr<CaptureOutput>>& outputs, std::string& error) {
    bool ok = true;
    for (auto& output : outputs) {
        std::string reason;
        if (!output->finish(reason) && ok) {
            ok = false;
            error = reason;
        }
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    ParsedCommandLine commandLine = parseCaptureOptions(argc, argv);
    if (commandLine.outcome == ParseOutcome::Help) {
        std::printf("%s\n%s", captureUsage(), captureHelp());
        return 0;
    }
    if (commandLine.outcome == ParseOutcome::Version) {
        std::printf("%s", captureVersion());
        return 0;
    }
    if (commandLine.outcome == ParseOutcome::Error) return usageError(commandLine.error);
    std::string error;
    if (!useInstalledDataIfNeeded(commandLine.options, VESK_INSTALLED_DATA_PARENT, error)) return failure(error);
    const CaptureOptions& options = commandLine.options;

    // A dead ffmpeg must show as a failed write, not end the capture.
    signal(SIGPIPE, SIG_IGN);
    watchForInterrupt();

    std::vector<std::unique_ptr<CaptureOutput>> outputs;
    if (!makeEarlyOutputs(options, outputs, error)) return failure(error);

    std::unique_ptr<OffscreenContext> context = OffscreenContext::create(options.width, options.height, error);
    if (!context) return failure("no GL context: " + error);

    startCapturedShow(options.seed, options.timerStart, options.width, options.height);
    const FrameTiming timing(options.fps);
    const uint64_t endMilliseconds = showEndMilliseconds();

    const bool stills = !options.stillMilliseconds.empty();
    int64_t firstFrame = 0, endFrame = 0, framesToRun = 0;
    if (stills) {
        if (options.stillMilliseconds.back() >= endMilliseconds)
            return usageError("--at " + secondsText(options.stillMilliseconds.back()) +
                              ": the show ends at " + secondsText(endMilliseconds));
        framesToRun = CaptureLoop::stillsFrameCount(timing, options.stillMilliseconds);
    } else {
        endFrame = timing.firstFrameAtOrAfter(endMilliseconds);
        if (options.hasTo) endFrame = std::min(endFrame, timing.firstFrameAtOrAfter(options.toMilliseconds));
        firstFrame = timing.firstFrameAtOrAfter(options.fromMilliseconds);
        if (firstFrame >= endFrame)
            return usageError("--from " + secondsText(options.fromMilliseconds) +
                              ": no frame of the show lies in the range; it ends at " +
                              secondsText(endMilliseconds));
        framesToRun = endFrame;
        if (!options.sheetPath.empty()) {
            auto sheet = ContactSheet::create(options.sheetPath, firstFrame, endFrame - firstFrame, options.width,
                                              options.height, error);
            if (!sheet) return failure(error);
            outputs.push_back(std::move(sheet));
        }
    }

    std::vector<CaptureOutput*> borrowed;
    for (auto& output : outputs) borrowed.push_back(output.get());
    CaptureLoop capture(timing, *context, borrowed);
    ProgressLine progress(stderr, isatty(STDERR_FILENO) != 0, framesToRun);
    CaptureEnd end = stills ? capture.captureStills(options.stillMilliseconds, progress, error)
                            : capture.captureRange(firstFrame, endFrame, progress, error);
    progress.finish();
    if (end == CaptureEnd::Failed) std::fprintf(stderr, "vesk-capture: %s\n", error.c_str());

    std::string finishError;
    bool finished = finishAll(outputs, finishError);
    if (!finished) std::fprintf(stderr, "vesk-capture: %s\n", finishError.c_str());

    if (end == CaptureEnd::Interrupted) {
        std::fprintf(stderr, "vesk-capture: interrupted; what was written so far is complete\n");
        return 128 + interruptSignal();
    }
    return end == CaptureEnd::Failed || !finished ? exitFailed : 0;
}
