// Encodes the captured frames and mix into an MP4 file (H.264 in yuv420p,
// AAC) with the ffmpeg program. Raw RGB frames go down one pipe and raw
// 16-bit stereo samples down another, handed to ffmpeg as its file
// descriptors 3 and 4; nothing is written to disk but the MP4.
//
// ffmpeg reads its two inputs in turns and reads sound in packets of about
// a tenth of a second: it may want sound up to that far beyond the frames
// it has taken before it takes more. So neither pipe may hold up the
// other: both are written without blocking from one poll loop, frames that
// ffmpeg has not taken yet wait in a queue of a quarter of a second (at
// least 8 frames; allocated as it fills), and sound in a buffer. The
// capture waits only while the frame queue is full.
//
// ffmpeg runs in a process group of its own, so a Ctrl-C at the terminal
// reaches only the capture, which then closes the pipes and lets ffmpeg
// finish a playable file.
//
// Main thread only. SIGPIPE must be ignored by the process, so that a dead
// ffmpeg shows as a failed write rather than killing the capture.
#pragma once

#include "capture_output.h"
#include "frame_timing.h"

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

class VideoEncoder : public CaptureOutput {
public:
    // Starts ffmpeg writing `path`. Null, with a one-line reason in
    // `error`, when ffmpeg cannot be started. `width` and `height` must be
    // even.
    static std::unique_ptr<VideoEncoder> create(const std::string& path, int width, int height, FrameRate rate,
                                                std::string& error);
    // Ends ffmpeg if finish was never called.
    ~VideoEncoder() override;

    bool writeFrame(const CapturedFrame& frame, std::string& error) override;
    bool writeAudio(const int16_t* samples, int frames, std::string& error) override;
    // Closes both pipes, waits for ffmpeg and checks how it ended.
    bool finish(std::string& error) override;

    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

private:
    VideoEncoder(const std::string& path, pid_t encoder, int videoPipe, int audioPipe, size_t frameBytes,
                 size_t queueFrames);
    // Writes what the pipes take now, and goes on until the frame queue
    // has a free slot, or until everything has gone and both pipes are
    // closed.
    enum class Wait { None, UntilRoom, UntilAllSent };
    bool pump(Wait wait, std::string& error);
    // Writes as much waiting sound as its pipe takes now.
    bool sendAudio(std::string& error);
    bool failedWrite(const char* what, std::string& error);
    void closePipes();

    std::string path;
    pid_t encoder;
    int videoPipe;
    int audioPipe;
    size_t frameBytes;
    // A ring of frames, each slot allocated on first use and then reused.
    std::vector<std::vector<uint8_t>> frameQueue;
    size_t queueHead = 0;
    size_t queuedFrames = 0;
    size_t headSent = 0;  // bytes of the head frame already written
    std::vector<uint8_t> waitingAudio;
    size_t waitingAudioStart = 0;
};
