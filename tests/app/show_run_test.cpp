// The built show, run for real on the test's X server with SDL's disk audio
// driver recording what it plays: its duration and exit status,
// and its sound checked by the cue analysis against the frames' show times
// (noted by the preloaded swap shim). The command-line arguments given must
// change nothing.
#include "support/cue_analysis.h"
#include "support/png_test_files.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

TEST(ShowRun, PlaysTheWholeShowInItsWindowWithEveryCueOnItsSample) {
    char dirTemplate[] = "/tmp/vesk-run-XXXXXX";
    const std::string dir = mkdtemp(dirTemplate), audioPath = dir + "/audio.raw", errorPath = dir + "/stderr.txt",
                      framesPath = dir + "/frames.txt";
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", audioPath.c_str(), 1);
        setenv("LD_PRELOAD", VESK_SWAP_SHIM, 1);
        setenv("VESK_FRAME_TIMES", framesPath.c_str(), 1);
        if (!freopen(errorPath.c_str(), "w", stderr)) _exit(126);
        execl(VESK_EXECUTABLE, VESK_EXECUTABLE, "-geometry", "64x64+0+0", "-iconic", "--fullscreen", nullptr);
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    const double wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const std::string errors = vesk_test::fileBytes(errorPath);
    const cue::Stereo recording = cue::readRecording(audioPath);
    const std::vector<double> frameTimes = cue::readFrameTimes(framesPath);
    EXPECT_EQ(std::system(("rm -r " + dir).c_str()), 0);

    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_TRUE(wallSeconds >= 68.5 && wallSeconds <= 75.0) << wallSeconds;
    EXPECT_EQ(errors.find("Error"), std::string::npos) << errors;

    ASSERT_GT(frameTimes.size(), 100u) << "no frame times from the swap shim";
    const cue::Analysis analysis = cue::analyse(recording, "data", frameTimes);
    ASSERT_TRUE(analysis.musicFound);
    EXPECT_EQ(analysis.dropouts, 0);
    EXPECT_LE(std::abs(analysis.driftMs), 2.0);
    for (const cue::CueResult& c : analysis.cues) {
        ASSERT_TRUE(c.found) << c.sample;
        std::printf("cue %s at %.1f s, its frame at %.4f s: %+.2f ms\n", c.sample, c.showTime, c.frameTime, c.errorMs);
        EXPECT_LE(std::abs(c.errorMs), 5.0) << c.sample;
    }
    EXPECT_TRUE(analysis.mutePeak >= 0 && analysis.mutePeak < 400) << "heard besides the crash while muted: " << analysis.mutePeak;
}
