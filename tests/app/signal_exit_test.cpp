// The built show, run on the test's X server, ends at once on Ctrl-C
// (SIGINT) or kill (SIGTERM), and its exit status names the signal.
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Whether `pid` runs SDL's sound thread: by then the sound device is open,
// which is where SDL would have taken the signals over.
bool soundThreadRuns(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(tasks.c_str());
    if (!dir) return false;
    bool found = false;
    while (dirent* entry = readdir(dir)) {
        std::string name;
        std::getline(std::ifstream(tasks + "/" + entry->d_name + "/comm"), name);
        found = found || name.rfind("SDLAudio", 0) == 0;
    }
    closedir(dir);
    return found;
}

// Starts the show, sends it `signal` once it plays, and expects it killed
// by that signal within 2 s.
void expectEndedBy(int signal) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X server to run the show on";
    pid_t show = fork();
    if (show == 0) {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        execl(VESK_EXECUTABLE, VESK_EXECUTABLE, static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(show, 0);
    int status = 0;
    const Clock::time_point startBy = Clock::now() + std::chrono::seconds(30);
    while (!soundThreadRuns(show) && waitpid(show, &status, WNOHANG) == 0 && Clock::now() < startBy)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const bool playing = soundThreadRuns(show);
    kill(show, signal);
    const Clock::time_point goneBy = Clock::now() + std::chrono::seconds(2);
    pid_t ended = 0;
    while ((ended = waitpid(show, &status, WNOHANG)) == 0 && Clock::now() < goneBy)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (ended == 0) {
        kill(show, SIGKILL);
        waitpid(show, &status, 0);
    }
    ASSERT_TRUE(playing) << "the show did not start playing";
    EXPECT_EQ(ended, show) << "still running 2 s after " << strsignal(signal);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exited with " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), signal) << strsignal(WTERMSIG(status));
}

}  // namespace

TEST(GlSignalExit, CtrlCEndsTheShow) { expectEndedBy(SIGINT); }

TEST(GlSignalExit, TermEndsTheShow) { expectEndedBy(SIGTERM); }
