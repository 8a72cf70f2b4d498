// Runs of the built vesk-capture, each in a scratch directory holding a
// link to the generated data/, with no display server.
#include "capture/capture_test_support.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

using capture_test::RunResult;
using capture_test::ScratchDirectory;
using capture_test::runCapture;

// The show's script: 41 effects. Tests of its content need it all.
#define SKIP_UNTIL_WHOLE_SHOW()                                                               \
    if (!capture_test::wholeShowPresent())                                                    \
        GTEST_SKIP() << "the scene does not set up the whole show yet (fewer than 41 effects)";

std::string probe(const std::string& entries, const std::string& file) {
    return capture_test::commandOutput("ffprobe -v error -count_frames -show_entries " + entries +
                                       " -of default=noprint_wrappers=1 " + file);
}

void expectSameFiles(const std::string& a, const std::string& b) {
    auto names = capture_test::directoryNames(a);
    ASSERT_FALSE(names.empty());
    ASSERT_EQ(names, capture_test::directoryNames(b));
    for (const std::string& name : names)
        EXPECT_TRUE(capture_test::fileBytes(a + "/" + name) == capture_test::fileBytes(b + "/" + name)) << name;
}

TEST(CaptureCommandLine, BadOptionsGiveAReasonTheUsageAndStatusTwo) {
    ScratchDirectory scratch;
    const std::vector<std::vector<std::string>> badLines = {
        {},
        {"--fps", "0", "--frames", "f"},
        {"--bogus"},
        {"--frames", "f", "--to", "-1"},
        {"--video", "v.mp4", "--size", "511x512"},
        // Known only once the show is set up: it ends before these.
        {"--frames", "f", "--from", "1000"},
        {"--at", "1000", "--stills", "s"},
    };
    for (const auto& arguments : badLines) {
        std::string line;
        for (const auto& word : arguments) line += word + " ";
        RunResult result = runCapture(scratch.path(), arguments);
        EXPECT_EQ(result.status, 2) << line << result.errors;
        EXPECT_EQ(result.errors.rfind("vesk-capture: ", 0), 0u) << line << result.errors;
        EXPECT_NE(result.errors.find("\nusage: vesk-capture"), std::string::npos) << line << result.errors;
    }
    EXPECT_FALSE(std::filesystem::exists(scratch.file("v.mp4")));
    EXPECT_EQ(runCapture(scratch.path(), {"--help"}).status, 0);
}

TEST(CaptureRun, WritesEveryFrameOfTheRangeNamedByIndex) {
    ScratchDirectory scratch;
    RunResult result = runCapture(scratch.path(), {"--from", "1", "--to", "1.5", "--size", "64x48", "--frames", "f"});
    ASSERT_EQ(result.status, 0) << result.errors;
    // 60 fps: frame 60 is drawn at 1000 ms, frame 90 at 1500 ms (excluded).
    auto names = capture_test::directoryNames(scratch.file("f"));
    ASSERT_EQ(names.size(), 30u);
    EXPECT_EQ(names.front(), "000060.png");
    EXPECT_EQ(names.back(), "000089.png");
    capture_test::RgbPicture first = capture_test::readPng(scratch.file("f/000060.png"));
    EXPECT_EQ(first.width, 64);
    EXPECT_EQ(first.height, 48);
    // Not a terminal: the progress is printed once, at the end.
    EXPECT_NE(result.errors.find("vesk-capture: 90 of 90 frames in "), std::string::npos) << result.errors;
    EXPECT_EQ(result.errors.find('\r'), std::string::npos);
}

TEST(CaptureRun, TheSameSeedGivesTheSameBytes) {
    ScratchDirectory first, second;
    // Bubbles rise from 23 s.
    const std::vector<std::string> arguments = {"--from", "23", "--to", "24", "--size", "128x128", "--frames", "f",
                                                "--audio", "a.wav"};
    ASSERT_EQ(runCapture(first.path(), arguments).status, 0);
    ASSERT_EQ(runCapture(second.path(), arguments).status, 0);
    expectSameFiles(first.file("f"), second.file("f"));
    EXPECT_TRUE(capture_test::fileBytes(first.file("a.wav")) == capture_test::fileBytes(second.file("a.wav")));
    EXPECT_EQ(capture_test::readSound(first.file("a.wav")).frames(), 44100u);
}

TEST(CaptureRun, AnotherSeedMovesTheBubblesElsewhere) {
    SKIP_UNTIL_WHOLE_SHOW();
    ScratchDirectory first, second;
    const std::vector<std::string> arguments = {"--at", "25", "--size", "128x128", "--stills", "s"};
    std::vector<std::string> reseeded = arguments;
    reseeded.insert(reseeded.end(), {"--seed", "2"});
    ASSERT_EQ(runCapture(first.path(), arguments).status, 0);
    ASSERT_EQ(runCapture(second.path(), reseeded).status, 0);
    EXPECT_FALSE(capture_test::fileBytes(first.file("s/at-025000.png")) ==
                 capture_test::fileBytes(second.file("s/at-025000.png")));
}

TEST(CaptureRun, AWrapOfTheTimerChangesNothing) {
    ScratchDirectory unwrapped, wrapped;
    const std::vector<std::string> arguments = {"--to", "2", "--size", "128x128", "--frames", "f", "--audio", "a.wav"};
    std::vector<std::string> nearWrap = arguments;
    // The count wraps 1 s into the show, during the title's fade-in.
    nearWrap.insert(nearWrap.end(), {"--timer-start", "4294966296"});
    ASSERT_EQ(runCapture(unwrapped.path(), arguments).status, 0);
    RunResult result = runCapture(wrapped.path(), nearWrap);
    ASSERT_EQ(result.status, 0) << result.errors;
    expectSameFiles(unwrapped.file("f"), wrapped.file("f"));
    EXPECT_TRUE(capture_test::fileBytes(unwrapped.file("a.wav")) == capture_test::fileBytes(wrapped.file("a.wav")));
}

TEST(CaptureRun, TheVideoHasTheRangesDurationSizeAndFrameCount) {
    ScratchDirectory scratch;
    RunResult result = runCapture(scratch.path(), {"--to", "2", "--video", "v.mp4"});
    ASSERT_EQ(result.status, 0) << result.errors;
    std::string video = probe("stream=codec_name,width,height,pix_fmt,nb_read_frames", scratch.file("v.mp4"));
    for (const char* expected : {"codec_name=h264", "width=512", "height=512", "pix_fmt=yuv420p",
                                 "nb_read_frames=120", "codec_name=aac"})
        EXPECT_NE(video.find(expected), std::string::npos) << expected << " not in\n" << video;
    std::string duration = probe("format=duration", scratch.file("v.mp4"));
    ASSERT_EQ(duration.rfind("duration=", 0), 0u) << duration;
    EXPECT_NEAR(std::atof(duration.c_str() + 9), 2.0, 0.05);

    // 29.97 fps from 1 s to 3 s: frames 30 to 89, 60 frames of 1001/30000 s.
    result = runCapture(scratch.path(), {"--fps", "30000/1001", "--size", "320x240", "--from", "1", "--to", "3",
                                         "--video", "w.mp4"});
    ASSERT_EQ(result.status, 0) << result.errors;
    video = probe("stream=width,height,nb_read_frames,r_frame_rate", scratch.file("w.mp4"));
    for (const char* expected : {"width=320", "height=240", "nb_read_frames=60", "r_frame_rate=30000/1001"})
        EXPECT_NE(video.find(expected), std::string::npos) << expected << " not in\n" << video;
    duration = probe("format=duration", scratch.file("w.mp4"));
    EXPECT_NEAR(std::atof(duration.c_str() + 9), 2.002, 0.05);
}

TEST(CaptureRun, TheSheetHoldsTwelveCells) {
    ScratchDirectory scratch;
    RunResult result = runCapture(scratch.path(), {"--to", "3", "--sheet", "s.png"});
    ASSERT_EQ(result.status, 0) << result.errors;
    capture_test::RgbPicture sheet = capture_test::readPng(scratch.file("s.png"));
    EXPECT_EQ(sheet.width, 4 * 256 + 5 * 8);
    EXPECT_EQ(sheet.height, 3 * (256 + 22) + 4 * 8);
}

TEST(CaptureRun, ShowErrorsGoToStderrAndTheCaptureGoesOn) {
    ScratchDirectory scratch("kelpwake.mp3");
    RunResult result = runCapture(scratch.path(), {"--to", "1", "--size", "16x16", "--audio", "a.wav"});
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_NE(result.errors.find("Error: unable to load sound: data/kelpwake.mp3\n"), std::string::npos)
        << result.errors;
    EXPECT_EQ(capture_test::readSound(scratch.file("a.wav")).frames(), 44100u);
}

TEST(CaptureRun, FailsWithStatusOneWithoutGlOrFfmpeg) {
    ScratchDirectory scratch;
    // No EGL vendor library: no context can be made.
    RunResult result = runCapture(scratch.path(), {"--frames", "f"},
                                  {"__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent-directory/none.json"});
    EXPECT_EQ(result.status, 1) << result.errors;
    EXPECT_NE(result.errors.find("vesk-capture: no GL context"), std::string::npos) << result.errors;

    result = runCapture(scratch.path(), {"--video", "v.mp4"}, {"PATH=/nonexistent-directory"});
    EXPECT_EQ(result.status, 1) << result.errors;
    EXPECT_NE(result.errors.find("ffmpeg"), std::string::npos) << result.errors;
}

TEST(CaptureRun, CtrlCLeavesAPlayableVideoAndAValidWav) {
    ScratchDirectory scratch;
    // 1000 fps makes the run long enough to interrupt in its middle.
    pid_t capture = capture_test::startCapture(
        scratch.path(), {"--fps", "1000", "--size", "64x64", "--frames", "f", "--video", "v.mp4", "--audio", "a.wav"});
    ASSERT_GT(capture, 0);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!std::filesystem::exists(scratch.file("f/000100.png")) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    kill(capture, SIGINT);
    RunResult result = capture_test::finishCapture(capture, scratch.path());
    EXPECT_EQ(result.status, 130) << result.errors;
    EXPECT_NE(result.errors.find("interrupted"), std::string::npos) << result.errors;

    // Each output got the same whole frames: as many in the video as PNG
    // files, and in the WAV the samples of those frames at 44.1 a frame.
    const size_t frames = capture_test::directoryNames(scratch.file("f")).size();
    EXPECT_GT(frames, 100u);
    EXPECT_LT(frames, 68500u);
    std::string video = probe("stream=nb_read_frames", scratch.file("v.mp4"));
    EXPECT_NE(video.find("nb_read_frames=" + std::to_string(frames) + "\n"), std::string::npos) << video;
    capture_test::Sound sound = capture_test::readSound(scratch.file("a.wav"));
    EXPECT_EQ(sound.channels, 2);
    EXPECT_EQ(sound.frames(), frames * 44100 / 1000);
}

// Title card: fades in from transparent black over 0 to 5 s, then held.
TEST(CaptureShow, AtTwoAndAHalfSecondsTheTitleIsAtAQuarterOfItsHeldBrightness) {
    SKIP_UNTIL_WHOLE_SHOW();
    ScratchDirectory scratch;
    RunResult result = runCapture(scratch.path(), {"--at", "2.5,10", "--stills", "s"});
    ASSERT_EQ(result.status, 0) << result.errors;
    capture_test::RgbPicture half = capture_test::readPng(scratch.file("s/at-002500.png"));
    capture_test::RgbPicture held = capture_test::readPng(scratch.file("s/at-010000.png"));
    ASSERT_EQ(half.width, 512);
    ASSERT_EQ(held.width, 512);
    // Colour and alpha both at one half: a quarter of the held picture (whose
    // colour the fade's last frame, at 4.983 s, left at 0.9966). The title
    // covers rows 192 to 319; the by-line, also shown at 10 s, lies below
    // row 294.
    int bright = 0;
    for (int y = 194; y < 290; ++y)
        for (int x = 0; x < 512; ++x)
            for (int c = 0; c < 3; ++c) {
                double quarter = held.at(x, y)[c] / (4 * 0.9966 * 0.9966);
                bright += held.at(x, y)[c] > 100;
                ASSERT_NEAR(half.at(x, y)[c], quarter, 1.5) << "pixel " << x << "," << y;
            }
    EXPECT_GT(bright, 1000) << "the held title should be bright somewhere";
    // Against black: nothing else is drawn at 2.5 s.
    for (int y = 0; y < 512; ++y) {
        if (y >= 188 && y < 324) continue;
        for (int x = 0; x < 512; ++x)
            ASSERT_EQ(half.at(x, y)[0] + half.at(x, y)[1] + half.at(x, y)[2], 0) << "pixel " << x << "," << y;
    }
}

TEST(CaptureShow, From40_2To45OnlyTheCrashSampleSounds) {
    SKIP_UNTIL_WHOLE_SHOW();
    ScratchDirectory scratch;
    RunResult result = runCapture(scratch.path(), {"--from", "40.2", "--to", "45", "--size", "16x16", "--audio", "a.wav"});
    ASSERT_EQ(result.status, 0) << result.errors;
    capture_test::Sound mix = capture_test::readSound(scratch.file("a.wav"));
    capture_test::Sound crash = capture_test::readSound(scratch.file("data/carcrash.wav"));
    ASSERT_GT(crash.frames(), 0u);
    // 4.8 s; the music is muted from 40.1 s and the crash started then, in
    // the frame at 40.100 s, so the range begins 0.1 s into it.
    ASSERT_EQ(mix.frames(), 211680u);
    const size_t into = 4410;
    size_t sounding = 0;
    for (size_t i = 0; i < mix.frames(); ++i) {
        for (int side = 0; side < 2; ++side) {
            int expected = 0;
            if (into + i < crash.frames())
                expected = crash.samples[(into + i) * crash.channels + (crash.channels == 2 ? side : 0)];
            sounding += expected != 0;
            ASSERT_EQ(mix.samples[2 * i + side], expected) << "sample frame " << i << " side " << side;
        }
    }
    EXPECT_GT(sounding, 1000u);
}

TEST(CaptureShow, SampleCuesStartWithinAMillisecondOfTheirTimes) {
    SKIP_UNTIL_WHOLE_SHOW();
    ScratchDirectory scratch;
    RunResult result = runCapture(scratch.path(), {"--size", "16x16", "--audio", "a.wav"});
    ASSERT_EQ(result.status, 0) << result.errors;
    capture_test::Sound mix = capture_test::readSound(scratch.file("a.wav"));
    capture_test::Sound music = capture_test::readSound(scratch.file("data/kelpwake.mp3"));
    ASSERT_GT(music.frames(), 0u);
    struct Cue {
        double seconds;
        const char* sample;
        bool musicAudible;  // muted from 40.1 to 45.1 s
    };
    const Cue cues[] = {{31.0, "spinefin.wav", true}, {40.1, "carcrash.wav", false},
                        {47.0, "juice.wav", true},    {54.0, "tolvane.wav", true}};
    const long window = 2205;  // 50 ms either side
    const long compared = 2048;
    for (const Cue& cue : cues) {
        capture_test::Sound sample = capture_test::readSound(scratch.file("data/") + cue.sample);
        ASSERT_GE(sample.frames(), static_cast<size_t>(compared)) << cue.sample;
        const long due = std::lround(cue.seconds * 44100);
        // Where the mix, less the music, best matches the sample's start.
        long best = -1;
        double bestCost = 1e300;
        for (long start = due - window; start <= due + window; ++start) {
            double cost = 0;
            for (long j = 0; j < compared && cost < bestCost; ++j) {
                size_t frame = static_cast<size_t>(start + j);
                int background = 0;
                if (cue.musicAudible && frame < music.frames()) background = music.samples[frame * music.channels];
                cost += std::abs(mix.samples[2 * frame] - background - sample.samples[j * sample.channels]);
            }
            if (cost < bestCost) {
                bestCost = cost;
                best = start;
            }
        }
        EXPECT_LE(std::abs(best - due), 44) << cue.sample << " starts at " << best / 44100.0 << " s";
        EXPECT_LT(bestCost / compared, 1.0) << cue.sample << " does not match the mix";
    }
}

}  // namespace
