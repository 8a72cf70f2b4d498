// The built show, run for real on the test's X server with SDL's disk
// audio driver recording what it plays: its window, its duration and exit
// status, and the sound cues heard at their moments.
#include "support/audio_analysis.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace vesk_test;

namespace {

struct ShowRun {
    int exitStatus = -1;
    double wallSeconds = 0;
    std::string errors;    // what the show wrote to stderr
    std::string geometry;  // the window's size as the X server reports it
    StereoSound audio;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs the show from the build directory (which holds data/) with `extra`
// command-line arguments.
ShowRun runShow(const std::vector<std::string>& extra) {
    ShowRun run;
    char dirTemplate[] = "/tmp/vesk-run-XXXXXX";
    std::string dir = mkdtemp(dirTemplate);
    std::string audioPath = dir + "/audio.raw", errorPath = dir + "/stderr.txt";

    auto started = std::chrono::steady_clock::now();
    pid_t child = fork();
    if (child == 0) {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", audioPath.c_str(), 1);
        if (!freopen(errorPath.c_str(), "w", stderr)) _exit(126);
        std::vector<char*> argv;
        std::string program = VESK_EXECUTABLE;
        argv.push_back(&program[0]);
        std::vector<std::string> args = extra;
        for (std::string& a : args) argv.push_back(&a[0]);
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    // Look at the window once the show is under way.
    std::this_thread::sleep_for(std::chrono::seconds(4));
    FILE* xdotool = popen("xdotool search --name '^VESK$' getwindowgeometry 2>/dev/null", "r");
    if (xdotool) {
        char line[256];
        while (fgets(line, sizeof line, xdotool)) run.geometry += line;
        pclose(xdotool);
    }
    int status = 0;
    waitpid(child, &status, 0);
    run.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.errors = readFile(errorPath);
    run.audio = readRawStereo(audioPath);
    std::remove(audioPath.c_str());
    std::remove(errorPath.c_str());
    rmdir(dir.c_str());
    return run;
}

void expectAPlayedShow(const ShowRun& run) {
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_GE(run.wallSeconds, 68.5);
    EXPECT_LE(run.wallSeconds, 75.0);
    EXPECT_EQ(run.errors.find("Error"), std::string::npos) << run.errors;
    EXPECT_NE(run.geometry.find("Geometry: 512x512"), std::string::npos) << run.geometry;

    const StereoSound music = decodeSoundFile("data/kelpwake.mp3");
    ASSERT_GT(music.frames(), framesAt(68.5));
    const CueTimings timings = timeShowCues(run.audio, music);
    ASSERT_GE(timings.musicStart, 0) << "no music in the recording";
    ASSERT_GT(run.audio.frames(), timings.at(55.5)) << "recording ends early";
    auto at = [&](double showSeconds) { return timings.at(showSeconds); };

    // With the music taken out, what is left are the samples alone, and
    // during the mute, the music's absence.
    const StereoSound& residue = timings.residue;
    EXPECT_GT(rmsBetween(run.audio, at(1), at(30)), 300) << "music not audible";
    EXPECT_LT(peakBetween(residue, at(1), at(30.9)), 400) << "the recording is not the music alone before the first cue";
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(showCues[i].file);
        ASSERT_GE(timings.onsets[i], 0) << "not heard";
        std::printf("cue %-18s at %.1f s: heard %+.1f ms\n", showCues[i].file, showCues[i].time, timings.lags[i] * 1000);
        EXPECT_LT(std::abs(timings.lags[i]), 0.030);
    }

    // Muted from 40.1 s to 45.1 s: only the crash sample is heard.
    const StereoSound crash = decodeSoundFile("data/carcrash.wav");
    ASSERT_GT(crash.frames(), framesAt(0.5));
    // The music stops and the crash starts in the same mixer buffer, so the
    // first loud residue marks the mute, not the crash's own first loud
    // sample: find the crash's place by the best fit near it.
    const long crashOnset = timings.onsets[1];
    long crashStart = crashOnset;
    double bestMismatch = -1;
    for (long offset = crashOnset - 1024; offset <= crashOnset + 1024; ++offset) {
        double mismatch = 0;
        for (size_t i = framesAt(0.1); i < framesAt(0.15); ++i) {
            long frame = offset + static_cast<long>(i);
            if (frame < 0) continue;
            mismatch += std::abs(run.audio.left(frame) - crash.left(i)) + std::abs(run.audio.right(frame) - crash.right(i));
        }
        if (bestMismatch < 0 || mismatch < bestMismatch) {
            bestMismatch = mismatch;
            crashStart = offset;
        }
    }
    const StereoSound muted = subtract(run.audio, crash, crashStart);
    EXPECT_LT(peakBetween(muted, at(40.2), at(45.0)), 400) << "something besides the crash is heard while muted";
    EXPECT_GT(rmsBetween(run.audio, at(45.3), at(46.9)), 300) << "music not back after the unmute";
    EXPECT_LT(peakBetween(residue, at(45.3), at(46.9)), 400) << "the music is not where it would have been";
}

TEST(ShowRun, PlaysTheWholeShowInItsWindowAndExitsZero) { expectAPlayedShow(runShow({})); }

TEST(ShowRun, CommandLineArgumentsChangeNothing) {
    expectAPlayedShow(runShow({"-geometry", "64x64+0+0", "-iconic", "--fullscreen"}));
}

}  // namespace
