// Runs of the built vesk-capture, each in a scratch directory holding a
// link to the generated data/, with no display server.
#include "capture/capture_run.h"
#include "support/show_assets.h"

#include <gtest/gtest.h>

namespace {

using namespace capture_test;

TEST(CaptureRun, BadOptionsOrAMissingGlOrFfmpegSayWhyWithTheirStatus) {
    Scratch scratch;
    // The last is known to be wrong only once the show is set up: it ends before.
    for (const char* line : {"", "--bogus", "--frames f --from 1000"}) {
        const int status = scratch.run(line);
        EXPECT_TRUE(status == 2 && scratch.errors.rfind("vesk-capture: ", 0) == 0 && scratch.errors.find("\nusage: vesk-capture") != std::string::npos)
            << line << ": " << status << " " << scratch.errors;
    }
    EXPECT_TRUE(scratch.run("--frames f", "__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent/none.json") == 1 &&
                scratch.errors.find("vesk-capture: no GL context") != std::string::npos) << scratch.errors;
    EXPECT_TRUE(scratch.run("--video v.mp4", "PATH=/nonexistent") == 1 && scratch.errors == "vesk-capture: --video needs ffmpeg, which is not installed (it is in the ffmpeg package)\n") << scratch.errors;
}

TEST(CaptureRun, StillsDrawEachFrameUpToTheLastOnce) {
    Scratch scratch;
    // Stills on frames 3 and 6 take frames 0 to 6, each drawn once.
    ASSERT_EQ(scratch.run("--at 0.05,0.1 --size 16x16 --stills s"), 0) << scratch.errors;
    EXPECT_NE(scratch.errors.find("vesk-capture: 7 of 7 frames in "), std::string::npos) << scratch.errors;
}

TEST(CaptureRun, TheSameSeedOrAWrapOfTheTimerGiveTheSameBytes) {
    // The bubbles rise from 23 s; the timer's count wraps 1 s into the range.
    const std::string range = "--from 23 --to 24 --size 128x128 --frames f --audio a.wav";
    Scratch first, second, wrapped, reseeded;
    for (auto [scratch, extra] : {std::pair{&first, ""}, {&second, ""}, {&wrapped, " --timer-start 4294943796"}, {&reseeded, " --seed 2"}})
        ASSERT_EQ(scratch->run(range + extra), 0) << extra << scratch->errors;
    // 60 fps: frame 1380 is drawn at 23 000 ms, frame 1440 at 24 000 ms (excluded).
    const auto names = directoryNames(first.file("f"));
    ASSERT_TRUE(names.size() == 60 && names.front() == "001380.png") << names.size();
    ASSERT_EQ(names, directoryNames(wrapped.file("f")));
    for (const std::string& name : names) {
        EXPECT_TRUE(fileBytes(first.file("f") / name) == fileBytes(second.file("f") / name)) << name;
        EXPECT_TRUE(fileBytes(first.file("f") / name) == fileBytes(wrapped.file("f") / name)) << name;
    }
    EXPECT_FALSE(fileBytes(first.file("f") / names.back()) == fileBytes(reseeded.file("f") / names.back()));
    EXPECT_TRUE(fileBytes(first.file("a.wav")) == fileBytes(wrapped.file("a.wav")));
    EXPECT_EQ(cue::readRecording(first.file("a.wav")).frames(), 44100);
}

TEST(CaptureRun, CtrlCLeavesAPlayableVideoAndAValidWav) {
    Scratch scratch;
    // 1000 fps makes the run long enough to interrupt in its middle.
    const std::string command = "cd '" + scratch.directory + "' && (env -u DISPLAY '" VESK_CAPTURE_PROGRAM "' --fps 1000 " +
                                "--size 64x48 --frames f --video v.mp4 --audio a.wav 2>stderr.txt & pid=$!; for i in $(seq 6000); " +
                                "do [ -e f/000100.png ] && break; sleep 0.02; done; kill -INT $pid; wait $pid)";
    EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 130) << fileBytes(scratch.file("stderr.txt"));
    // Each output got the same whole frames, the WAV 44.1 samples a frame;
    // the video is H.264 with stereo AAC.
    const size_t frames = directoryNames(scratch.file("f")).size();
    EXPECT_TRUE(frames > 100 && frames < 68500) << frames;
    expectProbe(scratch.file("v.mp4"), {"codec_name=h264", "width=64", "height=48", "codec_name=aac", "channels=2", "nb_read_frames=" + std::to_string(frames)});
    EXPECT_EQ(size_t(cue::readRecording(scratch.file("a.wav")).frames()), frames * 44100 / 1000);
}

TEST(CaptureShow, TheWholeShowsSoundHasEveryCueInPlaceAndOnlyTheCrashUnderTheMute) {
    Scratch scratch;
    ASSERT_EQ(scratch.run("--size 16x16 --audio a.wav"), 0) << scratch.errors;
    const cue::Stereo mix = cue::readRecording(scratch.file("a.wav"));
    EXPECT_EQ(mix.frames(), cue::framesAt(68.5));  // 4110 frames, the last drawn before the end
    const cue::Analysis analysis = cue::analyse(mix, scratch.file("data"));
    ASSERT_TRUE(analysis.musicFound);
    EXPECT_EQ(analysis.musicStart, 0);
    ASSERT_EQ(analysis.cues.size(), std::size(sampleCues));
    for (const cue::CueResult& result : analysis.cues) EXPECT_TRUE(result.found && std::abs(result.errorMs) <= 1.0) << result.sample;
    // From 40.2 s to 45 s the mix is the crash sample alone, sample for sample.
    const cue::Stereo crash = cue::readSound(scratch.file("data/carcrash.wav"));
    long sounding = 0;
    for (long frame = cue::framesAt(40.2); frame < cue::framesAt(45.0); ++frame)
        for (int side = 0; side < 2; ++side) {
            const long into = frame - cue::framesAt(40.1);
            const int expected = into < crash.frames() ? crash.at(into, side) : 0;
            sounding += expected != 0;
            ASSERT_EQ(mix.at(frame, side), expected) << "frame " << frame << " side " << side;
        }
    EXPECT_GT(sounding, 1000);
}

}  // namespace
