#include "capture_test_support.h"

#include "captured_show.h"
#include "offscreen_context.h"

#include <fcntl.h>
#include <png.h>
#include <signal.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

extern char** environ;

namespace capture_test {

namespace {

std::string makeScratch() {
    char pattern[] = "/tmp/vesk-capture-test-XXXXXX";
    return mkdtemp(pattern) ? pattern : "";
}

}  // namespace

ScratchDirectory::ScratchDirectory() : directory(makeScratch()) {
    std::error_code ignored;
    std::filesystem::create_directory_symlink(VESK_DATA_DIRECTORY, directory + "/data", ignored);
}

ScratchDirectory::ScratchDirectory(const std::string& missingAsset) : directory(makeScratch()) {
    std::error_code ignored;
    std::filesystem::create_directory(directory + "/data", ignored);
    for (const auto& entry : std::filesystem::directory_iterator(VESK_DATA_DIRECTORY, ignored)) {
        std::string name = entry.path().filename().string();
        if (name != missingAsset)
            std::filesystem::create_symlink(entry.path(), directory + "/data/" + name, ignored);
    }
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    // remove_all does not follow the link into the build's data/.
    if (!directory.empty()) std::filesystem::remove_all(directory, ignored);
}

pid_t startCapture(const std::string& directory, const std::vector<std::string>& arguments,
                   const std::vector<std::string>& environment) {
    std::vector<std::string> words = {VESK_CAPTURE_PROGRAM};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    // The display variables go, and so does any variable given anew.
    std::vector<std::string> dropped = {"DISPLAY=", "WAYLAND_DISPLAY="};
    for (const std::string& entry : environment) dropped.push_back(entry.substr(0, entry.find('=') + 1));
    std::vector<std::string> variables;
    for (char** variable = environ; *variable; ++variable) {
        std::string entry = *variable;
        bool drop = false;
        for (const std::string& name : dropped) drop = drop || entry.rfind(name, 0) == 0;
        if (!drop) variables.push_back(entry);
    }
    variables.insert(variables.end(), environment.begin(), environment.end());
    std::vector<char*> envp;
    for (std::string& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
    posix_spawn_file_actions_addopen(&actions, 2, "stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t process = -1;
    if (posix_spawn(&process, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) process = -1;
    posix_spawn_file_actions_destroy(&actions);
    return process;
}

RunResult finishCapture(pid_t process, const std::string& directory) {
    RunResult result = {-1, ""};
    if (process <= 0) return result;
    // A capture that hangs is killed, so that the test fails instead.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(5);
    int status = 0;
    pid_t ended = 0;
    while ((ended = waitpid(process, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (ended == 0) {
        kill(process, SIGKILL);
        waitpid(process, &status, 0);
        result.errors = "(killed after 5 minutes)\n";
        return result;
    }
    if (ended == process) result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.errors += fileBytes(directory + "/stderr.txt");
    return result;
}

RunResult runCapture(const std::string& directory, const std::vector<std::string>& arguments,
                     const std::vector<std::string>& environment) {
    return finishCapture(startCapture(directory, arguments, environment), directory);
}

std::string commandOutput(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return output;
    char buffer[512];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, count);
    pclose(pipe);
    return output;
}

RgbPicture readPng(const std::string& path) {
    RgbPicture picture;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return picture;
    }
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgb = std::move(rgb);
    return picture;
}

Sound readSound(const std::string& path) {
    Sound sound;
    SF_INFO info = {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return sound;
    sound.rate = info.samplerate;
    sound.channels = info.channels;
    sound.samples.resize(static_cast<size_t>(info.frames) * info.channels);
    sf_count_t read = sf_readf_short(file, sound.samples.data(), info.frames);
    sound.samples.resize(static_cast<size_t>(std::max<sf_count_t>(read, 0)) * info.channels);
    sf_close(file);
    return sound;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> directoryNames(const std::string& path) {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(path, ignored))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool wholeShowPresent() {
    static int present = -1;
    if (present < 0) {
        std::string error;
        static std::unique_ptr<OffscreenContext> context = OffscreenContext::create(16, 16, error);
        if (!context) return false;
        startCapturedShow(1, 0, 16, 16);
        present = scheduledEffectCount() >= 41 ? 1 : 0;
    }
    return present == 1;
}

}  // namespace capture_test
