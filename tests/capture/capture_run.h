// Helpers of the capture tests: a scratch directory holding a link to the
// generated data/, runs of the built vesk-capture there without a display,
// and a reader of the videos it wrote.
#pragma once

#include "support/cue_analysis.h"
#include "support/png_test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace capture_test {
namespace fs = std::filesystem;

using vesk_test::fileBytes;

// A fresh directory with data -> the build's data/, removed on destruction.
struct Scratch {
    std::error_code ignored;
    Scratch() : directory("/tmp/vesk-capture-test-XXXXXX") {
        if (!mkdtemp(directory.data())) directory.clear();
        fs::create_directory_symlink(VESK_DATA_DIRECTORY, file("data"), ignored);
    }
    ~Scratch() { fs::remove_all(directory, ignored); }  // does not follow the link
    fs::path file(const std::string& name) const { return fs::path(directory) / name; }

    // Runs vesk-capture here without a display, for at most five minutes;
    // its stderr goes to `errors`. Returns the exit status.
    int run(const std::string& arguments, const std::string& environment = "") {
        const std::string command = "cd '" + directory + "' && timeout -k 5 300 env -u DISPLAY -u WAYLAND_DISPLAY " +
                                    environment + " '" VESK_CAPTURE_PROGRAM "' " + arguments + " >/dev/null 2>stderr.txt";
        const int status = std::system(command.c_str());
        errors = fileBytes(file("stderr.txt"));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string directory, errors;
};

inline std::vector<std::string> directoryNames(const fs::path& path) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path)) names.push_back(entry.path().filename());
    return std::sort(names.begin(), names.end()), names;
}

// ffprobe's view of a video holds every "key=value" of `expected`.
inline void expectProbe(const fs::path& video, std::initializer_list<std::string> expected) {
    const std::string command = "ffprobe -v error -count_frames -show_entries stream=codec_name,width,height,"
                                "nb_read_frames,sample_rate,channels,r_frame_rate -of default=noprint_wrappers=1 '" +
                                video.string() + "' > '" + video.string() + ".txt' 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    const std::string output = fileBytes(video.string() + ".txt");
    for (const std::string& entry : expected) EXPECT_NE(output.find(entry + "\n"), std::string::npos) << entry << " not in\n" << output;
}

}  // namespace capture_test
