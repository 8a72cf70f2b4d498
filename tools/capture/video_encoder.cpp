#include "video_encoder.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

extern char** environ;

namespace {

// ffmpeg's inputs: fd 3 carries video, fd 4 sound. Our ends are moved to
// descriptors above these first, so that placing one cannot overwrite the
// other.
const int videoInputFd = 3;
const int audioInputFd = 4;
const int firstFreeFd = 10;

// A pipe whose ends are close-on-exec and above firstFreeFd.
bool makePipe(int& readEnd, int& writeEnd) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return false;
    readEnd = fcntl(ends[0], F_DUPFD_CLOEXEC, firstFreeFd);
    writeEnd = fcntl(ends[1], F_DUPFD_CLOEXEC, firstFreeFd);
    close(ends[0]);
    close(ends[1]);
    if (readEnd < 0 || writeEnd < 0) {
        if (readEnd >= 0) close(readEnd);
        if (writeEnd >= 0) close(writeEnd);
        return false;
    }
    return true;
}

std::string exitDescription(int status) {
    if (WIFEXITED(status)) return "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return std::string("killed by signal ") + strsignal(WTERMSIG(status));
    return "status " + std::to_string(status);
}

}  // namespace

std::unique_ptr<VideoEncoder> VideoEncoder::create(const std::string& path, int width, int height, FrameRate rate,
                                                   std::string& error) {
    int videoRead, videoWrite, audioRead, audioWrite;
    if (!makePipe(videoRead, videoWrite)) {
        error = std::string("cannot make a pipe for ffmpeg: ") + std::strerror(errno);
        return nullptr;
    }
    if (!makePipe(audioRead, audioWrite)) {
        error = std::string("cannot make a pipe for ffmpeg: ") + std::strerror(errno);
        close(videoRead);
        close(videoWrite);
        return nullptr;
    }

    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string frameRate = std::to_string(rate.numerator) + "/" + std::to_string(rate.denominator);
    const std::string sampleRate = std::to_string(captureSampleRate);
    // "file:" keeps a name that begins with '-' from reading as an option.
    const std::string output = "file:" + path;
    const char* arguments[] = {
        "ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-y",
        // The inputs' formats are given in full: nothing to probe for. Each
        // input's reading thread queues what it reads; with the default queue
        // of 8 packets one input running ahead of the other fills it and the
        // two pipes deadlock (seen under AddressSanitizer's timing).
        "-probesize", "32", "-analyzeduration", "0",
        "-f", "rawvideo", "-pix_fmt", "rgb24", "-video_size", size.c_str(), "-framerate", frameRate.c_str(),
        "-thread_queue_size", "4096", "-i", "pipe:3",
        "-probesize", "32", "-analyzeduration", "0",
        "-f", "s16le", "-ar", sampleRate.c_str(), "-ac", "2", "-thread_queue_size", "4096", "-i", "pipe:4",
        "-map", "0:v", "-map", "1:a",
        "-c:v", "libx264", "-pix_fmt", "yuv420p", "-crf", "18", "-preset", "veryfast",
        "-c:a", "aac", "-b:a", "192k",
        "-movflags", "+faststart", "-fflags", "+bitexact",
        output.c_str(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, videoRead, videoInputFd);
    posix_spawn_file_actions_adddup2(&actions, audioRead, audioInputFd);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // A group of its own, so that the terminal's Ctrl-C leaves it running;
    // the signals the capture ignores or catches are default again there.
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);

    pid_t encoder = 0;
    int spawnError = posix_spawnp(&encoder, "ffmpeg", &actions, &attributes, const_cast<char* const*>(arguments),
                                  environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(videoRead);
    close(audioRead);
    if (spawnError != 0) {
        error = spawnError == ENOENT ? std::string("--video needs ffmpeg, which is not installed (it is in the ffmpeg package)")
                                     : std::string("cannot run ffmpeg: ") + std::strerror(spawnError);
        close(videoWrite);
        close(audioWrite);
        return nullptr;
    }
    fcntl(videoWrite, F_SETFL, O_NONBLOCK);
    fcntl(audioWrite, F_SETFL, O_NONBLOCK);
    const size_t frameBytes = static_cast<size_t>(width) * height * 3;
    const size_t quarterSecond = static_cast<size_t>((rate.numerator + 4 * rate.denominator - 1) / (4 * rate.denominator));
    return std::unique_ptr<VideoEncoder>(
        new VideoEncoder(path, encoder, videoWrite, audioWrite, frameBytes, std::max<size_t>(8, quarterSecond)));
}

VideoEncoder::VideoEncoder(const std::string& path, pid_t encoder, int videoPipe, int audioPipe, size_t frameBytes,
                           size_t queueFrames)
    : path(path),
      encoder(encoder),
      videoPipe(videoPipe),
      audioPipe(audioPipe),
      frameBytes(frameBytes),
      frameQueue(queueFrames) {
    // Room for a few seconds of sound, so that waiting sound does not
    // allocate in the frame loop.
    waitingAudio.reserve(4 * captureSampleRate * 2 * sizeof(int16_t));
}

VideoEncoder::~VideoEncoder() {
    closePipes();
    if (encoder > 0) {
        int status;
        while (waitpid(encoder, &status, 0) < 0 && errno == EINTR) {
        }
    }
}

void VideoEncoder::closePipes() {
    if (videoPipe >= 0) close(videoPipe);
    if (audioPipe >= 0) close(audioPipe);
    videoPipe = audioPipe = -1;
}

bool VideoEncoder::failedWrite(const char* what, std::string& error) {
    if (errno == EPIPE)
        error = "ffmpeg stopped reading the " + std::string(what) + " for " + path;
    else
        error = "cannot write the " + std::string(what) + " to ffmpeg: " + std::strerror(errno);
    return false;
}

bool VideoEncoder::sendAudio(std::string& error) {
    while (waitingAudioStart < waitingAudio.size()) {
        ssize_t written = write(audioPipe, waitingAudio.data() + waitingAudioStart,
                                waitingAudio.size() - waitingAudioStart);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0 && errno == EAGAIN) break;
        if (written <= 0) return failedWrite("sound", error);
        waitingAudioStart += static_cast<size_t>(written);
    }
    // Drop what has gone once it is most of the buffer, so that the buffer
    // stays near the size of what ffmpeg has yet to take.
    if (waitingAudioStart > 0 && waitingAudioStart * 2 >= waitingAudio.size()) {
        waitingAudio.erase(waitingAudio.begin(), waitingAudio.begin() + static_cast<std::ptrdiff_t>(waitingAudioStart));
        waitingAudioStart = 0;
    }
    return true;
}

bool VideoEncoder::pump(Wait wait, std::string& error) {
    while (true) {
        // Video first, as much as the pipe takes.
        while (videoPipe >= 0 && queuedFrames > 0) {
            const std::vector<uint8_t>& head = frameQueue[queueHead];
            ssize_t written = write(videoPipe, head.data() + headSent, frameBytes - headSent);
            if (written < 0 && errno == EINTR) continue;
            if (written < 0 && errno == EAGAIN) break;
            if (written <= 0) return failedWrite("frames", error);
            headSent += static_cast<size_t>(written);
            if (headSent == frameBytes) {
                headSent = 0;
                queueHead = (queueHead + 1) % frameQueue.size();
                --queuedFrames;
            }
        }
        if (audioPipe >= 0 && !sendAudio(error)) return false;
        const bool soundWaiting = audioPipe >= 0 && waitingAudioStart < waitingAudio.size();
        if (wait == Wait::UntilAllSent) {
            // Each input ends as soon as all of it has gone: ffmpeg may wait
            // for the end of one before it takes the rest of the other.
            if (videoPipe >= 0 && queuedFrames == 0) {
                close(videoPipe);
                videoPipe = -1;
            }
            if (audioPipe >= 0 && !soundWaiting) {
                close(audioPipe);
                audioPipe = -1;
            }
        }
        bool done = true;
        if (wait == Wait::UntilRoom) done = queuedFrames < frameQueue.size();
        if (wait == Wait::UntilAllSent) done = videoPipe < 0 && audioPipe < 0;
        if (done) return true;
        // Sleep until ffmpeg reads from a pipe we have something for.
        pollfd pipes[2];
        nfds_t count = 0;
        if (videoPipe >= 0 && queuedFrames > 0) pipes[count++] = {videoPipe, POLLOUT, 0};
        if (soundWaiting) pipes[count++] = {audioPipe, POLLOUT, 0};
        if (poll(pipes, count, -1) < 0 && errno != EINTR) return failedWrite("frames", error);
    }
}

bool VideoEncoder::writeAudio(const int16_t* samples, int frames, std::string& error) {
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(samples);
    waitingAudio.insert(waitingAudio.end(), bytes, bytes + static_cast<size_t>(frames) * 2 * sizeof(int16_t));
    return pump(Wait::None, error);
}

bool VideoEncoder::writeFrame(const CapturedFrame& frame, std::string& error) {
    if (!pump(Wait::UntilRoom, error)) return false;
    std::vector<uint8_t>& slot = frameQueue[(queueHead + queuedFrames) % frameQueue.size()];
    slot.assign(frame.rgb, frame.rgb + frameBytes);
    ++queuedFrames;
    return pump(Wait::None, error);
}

bool VideoEncoder::finish(std::string& error) {
    if (encoder <= 0) return true;
    std::string writeError;
    bool sent = pump(Wait::UntilAllSent, writeError);
    closePipes();
    int status = 0;
    while (waitpid(encoder, &status, 0) < 0 && errno == EINTR) {
    }
    encoder = 0;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = "ffmpeg failed (" + exitDescription(status) + ") writing " + path;
        return false;
    }
    if (!sent) {
        error = writeError;
        return false;
    }
    return true;
}
