// The built show, run on the test's X server, ends at once on Ctrl-C
// (SIGINT) or kill (SIGTERM), and its exit status names the signal.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

// Whether `pid` runs SDL's sound thread: by then the sound device is open,
// which is where SDL would have taken the signals over.
bool soundThreadRuns(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task/";
    std::error_code gone;  // ended meanwhile
    for (const auto& task : std::filesystem::directory_iterator(tasks, gone)) {
        std::string name;
        if (std::getline(std::ifstream(task.path() / "comm"), name) && name.rfind("SDLAudio", 0) == 0) return true;
    }
    return false;
}

// Polls until `done` holds or `seconds` have passed; whether it held.
template <class Condition> bool within(int seconds, Condition done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done();
}

// Starts the show, sends it `signal` once it plays, and expects it killed
// by that signal within 2 s.
void expectEndedBy(int signal) {
    const pid_t show = fork();
    if (show == 0) {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        execl(VESK_EXECUTABLE, VESK_EXECUTABLE, static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(show, 0);
    int status = 0;
    pid_t ended = 0;
    const auto gone = [&] { return ended != 0 || (ended = waitpid(show, &status, WNOHANG)) != 0; };
    const bool playing = within(30, [&] { return soundThreadRuns(show) || gone(); }) && !gone();
    kill(show, signal);
    if (!within(2, gone)) kill(show, SIGKILL), waitpid(show, &status, 0);
    ASSERT_TRUE(playing) << "the show did not start playing (no X server?)";
    EXPECT_EQ(ended, show) << "still running 2 s after " << strsignal(signal);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exited with " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), signal) << strsignal(WTERMSIG(status));
}

// Ctrl-C, then kill's default signal, each to a run of its own.
TEST(GlSignalExit, InterruptAndTerminateEndTheShow) { for (int signal : {SIGINT, SIGTERM}) expectEndedBy(signal); }
