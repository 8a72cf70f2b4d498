// Helpers of the capture tests: a scratch directory holding a link to the
// generated data/, runs of the built vesk-capture there without a display,
// and readers of what it wrote.
#pragma once

#include "support/cue_analysis.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace capture_test {

inline std::string fileBytes(const std::string& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

// A fresh directory with data -> the build's data/ (or, given a file name,
// a data/ of links that lacks that file); removed on destruction.
class Scratch {
public:
    explicit Scratch(const std::string& missingAsset = "") {
        std::string pattern = "/tmp/vesk-capture-test-XXXXXX";
        if (mkdtemp(pattern.data())) directory = pattern;
        std::error_code ignored;
        if (missingAsset.empty()) {
            std::filesystem::create_directory_symlink(VESK_DATA_DIRECTORY, file("data"), ignored);
            return;
        }
        std::filesystem::create_directory(file("data"), ignored);
        for (const auto& entry : std::filesystem::directory_iterator(VESK_DATA_DIRECTORY, ignored))
            if (entry.path().filename() != missingAsset)
                std::filesystem::create_symlink(entry.path(), file("data") / entry.path().filename(), ignored);
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);  // does not follow the link
    }
    std::filesystem::path file(const std::string& name) const { return std::filesystem::path(directory) / name; }
    const std::string& path() const { return directory; }

    // Runs vesk-capture here with `arguments` (shell words) after `environment`
    // ("NAME=value ..."), without a display, for at most five minutes; its
    // stderr goes to `errors`. Returns the exit status.
    int run(const std::string& arguments, const std::string& environment = "") {
        const std::string command = "cd '" + directory + "' && timeout -k 5 300 env -u DISPLAY -u WAYLAND_DISPLAY " +
                                    environment + " '" VESK_CAPTURE_PROGRAM "' " + arguments + " >/dev/null 2>stderr.txt";
        const int status = std::system(command.c_str());
        errors = fileBytes(file("stderr.txt"));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string errors;

private:
    std::string directory;
};

struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // top row first
    const uint8_t* at(int x, int y) const { return &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3]; }
};
inline Picture readPng(const std::string& path) {
    Picture picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
    image.format = PNG_FORMAT_RGB;
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr))
        picture.width = int(image.width), picture.height = int(image.height);
    return picture;
}

inline std::vector<std::string> directoryNames(const std::string& path) {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(path, ignored)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// ffprobe's view of a video holds every "key=value" of `expected`.
inline void expectProbe(const std::string& video, std::initializer_list<const char*> expected) {
    const std::string command = "ffprobe -v error -count_frames -show_entries stream=codec_name,width,height,pix_fmt,"
                                "nb_read_frames,sample_rate,channels,r_frame_rate:format=duration "
                                "-of default=noprint_wrappers=1 '" + video + "' 2>&1";
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        for (size_t count; (count = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, count);
        pclose(pipe);
    }
    for (const char* entry : expected) EXPECT_NE(output.find(std::string(entry) + "\n"), std::string::npos) << entry << " not in\n" << output;
}

}  // namespace capture_test
