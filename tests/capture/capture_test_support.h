// Helpers of the capture tests: a scratch directory that holds a link to
// the generated data/, running the built vesk-capture there without a
// display, and reading back what it wrote.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace capture_test {

// A fresh directory under /tmp with data -> the build's data/; removed
// with everything in it on destruction.
class ScratchDirectory {
public:
    ScratchDirectory();
    // With a data/ of its own that lacks the file `missingAsset`.
    explicit ScratchDirectory(const std::string& missingAsset);
    ~ScratchDirectory();
    const std::string& path() const { return directory; }
    std::string file(const std::string& name) const { return directory + "/" + name; }

    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

private:
    std::string directory;
};

struct RunResult {
    int status;          // exit status, or 128 + signal
    std::string errors;  // what it printed on stderr
};

// Starts vesk-capture with `arguments` in `directory`, with DISPLAY and
// WAYLAND_DISPLAY unset and `environment` ("NAME=value") added.
pid_t startCapture(const std::string& directory, const std::vector<std::string>& arguments,
                   const std::vector<std::string>& environment = {});
// Waits for it; stderr is read from the file startCapture sent it to.
RunResult finishCapture(pid_t process, const std::string& directory);
RunResult runCapture(const std::string& directory, const std::vector<std::string>& arguments,
                     const std::vector<std::string>& environment = {});

// The standard output of a shell command, for ffprobe.
std::string commandOutput(const std::string& command);

struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // top row first
    const uint8_t* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};
// Empty (width 0) when the file cannot be read.
RgbPicture readPng(const std::string& path);

struct Sound {
    int rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;  // interleaved
    size_t frames() const { return channels ? samples.size() / channels : 0; }
};
// Any file libsndfile reads; empty when it cannot be read.
Sound readSound(const std::string& path);

std::string fileBytes(const std::string& path);
// The names in a directory, sorted.
std::vector<std::string> directoryNames(const std::string& path);

// Whether the scene sets up the whole show yet (all 41 effects), judged by
// starting it in this process with the capture's own libraries. Until it
// does, the tests that need its content are skipped.
bool wholeShowPresent();

}  // namespace capture_test
