// Runs of the built vesk-capture, each in a scratch directory holding a
// link to the generated data/, with no display server.
#include "capture/capture_run.h"
#include "support/show_assets.h"

#include <gtest/gtest.h>

namespace {

using capture_test::Scratch;
using capture_test::directoryNames;
using capture_test::fileBytes;

void expectSameFiles(const std::filesystem::path& a, const std::filesystem::path& b) {
    const auto names = directoryNames(a);
    ASSERT_FALSE(names.empty());
    ASSERT_EQ(names, directoryNames(b));
    for (const std::string& name : names) EXPECT_TRUE(fileBytes(a / name) == fileBytes(b / name)) << name;
}

TEST(CaptureRun, BadOptionsGiveAReasonTheUsageAndStatusTwo) {
    Scratch scratch;
    // The last two are known to be wrong only once the show is set up: it
    // ends before them.
    for (const char* line : {"", "--fps 0 --frames f", "--bogus", "--frames f --to -1", "--video v.mp4 --size 511x512",
                             "--frames f --from 1000", "--at 1000 --stills s"}) {
        EXPECT_EQ(scratch.run(line), 2) << line << scratch.errors;
        EXPECT_EQ(scratch.errors.rfind("vesk-capture: ", 0), 0u) << line << scratch.errors;
        EXPECT_NE(scratch.errors.find("\nusage: vesk-capture"), std::string::npos) << line << scratch.errors;
    }
    EXPECT_EQ(scratch.run("--help"), 0);
    // No GL (no EGL vendor library), no ffmpeg: status 1 and why.
    EXPECT_EQ(scratch.run("--frames f", "__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent/none.json"), 1);
    EXPECT_NE(scratch.errors.find("vesk-capture: no GL context"), std::string::npos) << scratch.errors;
    EXPECT_EQ(scratch.run("--video v.mp4", "PATH=/nonexistent"), 1);
    EXPECT_NE(scratch.errors.find("ffmpeg"), std::string::npos) << scratch.errors;
}

TEST(CaptureRun, WritesEveryFrameOfTheRangeNamedByIndex) {
    Scratch scratch;
    ASSERT_EQ(scratch.run("--from 1 --to 1.5 --size 64x48 --frames f"), 0) << scratch.errors;
    // 60 fps: frame 60 is drawn at 1000 ms, frame 90 at 1500 ms (excluded).
    const auto names = directoryNames(scratch.file("f"));
    ASSERT_EQ(names.size(), 30u);
    EXPECT_EQ(names.front(), "000060.png");
    EXPECT_EQ(capture_test::readPng(scratch.file("f/000060.png")).height, 48);
    // Not a terminal: the progress is printed once, at the end.
    EXPECT_NE(scratch.errors.find("vesk-capture: 90 of 90 frames in "), std::string::npos) << scratch.errors;
    EXPECT_EQ(scratch.errors.find('\r'), std::string::npos);
}

TEST(CaptureRun, TheSameSeedOrAWrapOfTheTimerGiveTheSameBytes) {
    // The bubbles rise from 23 s; the timer's count wraps 1 s into the range.
    const std::string range = "--from 23 --to 24 --size 128x128 --frames f --audio a.wav";
    Scratch first, second, wrapped, reseeded;
    ASSERT_EQ(first.run(range), 0) << first.errors;
    ASSERT_EQ(second.run(range), 0) << second.errors;
    ASSERT_EQ(wrapped.run(range + " --timer-start 4294943796"), 0) << wrapped.errors;
    expectSameFiles(first.file("f"), second.file("f"));
    expectSameFiles(first.file("f"), wrapped.file("f"));
    EXPECT_TRUE(fileBytes(first.file("a.wav")) == fileBytes(wrapped.file("a.wav")));
    EXPECT_EQ(cue::readRecording(first.file("a.wav")).frames(), 44100);
    // Another seed moves the bubbles elsewhere.
    ASSERT_EQ(reseeded.run("--at 25 --size 128x128 --stills s --seed 2"), 0) << reseeded.errors;
    ASSERT_EQ(first.run("--at 25 --size 128x128 --stills s"), 0) << first.errors;
    EXPECT_FALSE(fileBytes(first.file("s/at-025000.png")) == fileBytes(reseeded.file("s/at-025000.png")));
}

TEST(CaptureRun, VideosAndSheetsHaveTheRangesFramesAndSize) {
    Scratch scratch;
    ASSERT_EQ(scratch.run("--to 2 --video v.mp4 --sheet s.png"), 0) << scratch.errors;
    capture_test::expectProbe(scratch.file("v.mp4"), {"codec_name=h264", "width=512", "height=512", "nb_read_frames=120", "codec_name=aac"});
    const capture_test::Picture sheet = capture_test::readPng(scratch.file("s.png"));
    EXPECT_EQ(sheet.width, 4 * 256 + 5 * 8);
    EXPECT_EQ(sheet.height, 3 * (256 + 22) + 4 * 8);
    // 29.97 fps from 1 s to 3 s: frames 30 to 89.
    ASSERT_EQ(scratch.run("--fps 30000/1001 --size 320x240 --from 1 --to 3 --video w.mp4"), 0) << scratch.errors;
    capture_test::expectProbe(scratch.file("w.mp4"), {"width=320", "height=240", "nb_read_frames=60", "r_frame_rate=30000/1001"});
}

TEST(CaptureRun, ShowErrorsGoToStderrAndTheCaptureGoesOn) {
    Scratch scratch("kelpwake.mp3");
    EXPECT_EQ(scratch.run("--to 1 --size 16x16 --audio a.wav"), 0) << scratch.errors;
    EXPECT_NE(scratch.errors.find("Error: unable to load sound: data/kelpwake.mp3\n"), std::string::npos) << scratch.errors;
    EXPECT_EQ(cue::readRecording(scratch.file("a.wav")).frames(), 44100);
}

TEST(CaptureRun, CtrlCLeavesAPlayableVideoAndAValidWav) {
    Scratch scratch;
    // 1000 fps makes the run long enough to interrupt in its middle.
    const std::string program = "'" VESK_CAPTURE_PROGRAM "' --fps 1000 --size 64x64 --frames f --video v.mp4 --audio a.wav";
    const std::string command = "cd '" + scratch.path() + "' && (env -u DISPLAY " + program + " 2>stderr.txt & pid=$!; " +
                                "for i in $(seq 6000); do [ -e f/000100.png ] && break; sleep 0.02; done; " +
                                "kill -INT $pid; wait $pid)";
    const int status = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 130) << fileBytes(scratch.file("stderr.txt"));
    EXPECT_NE(fileBytes(scratch.file("stderr.txt")).find("interrupted"), std::string::npos);
    // Each output got the same whole frames: as many in the video as PNG
    // files, and in the WAV the samples of those frames at 44.1 a frame.
    const size_t frames = directoryNames(scratch.file("f")).size();
    EXPECT_GT(frames, 100u);
    EXPECT_LT(frames, 68500u);
    capture_test::expectProbe(scratch.file("v.mp4"), {("nb_read_frames=" + std::to_string(frames)).c_str()});
    EXPECT_EQ(size_t(cue::readRecording(scratch.file("a.wav")).frames()), frames * 44100 / 1000);
}

// The title card fades in from transparent black over 0 to 5 s, then holds.
TEST(CaptureShow, AtTwoAndAHalfSecondsTheTitleIsAtAQuarterOfItsHeldBrightness) {
    Scratch scratch;
    ASSERT_EQ(scratch.run("--at 2.5,10 --stills s"), 0) << scratch.errors;
    const capture_test::Picture half = capture_test::readPng(scratch.file("s/at-002500.png"));
    const capture_test::Picture held = capture_test::readPng(scratch.file("s/at-010000.png"));
    ASSERT_EQ(half.width, 512);
    ASSERT_EQ(held.width, 512);
    // Colour and alpha both at one half: a quarter of the held picture (whose
    // colour the fade's last frame, at 4.983 s, left at 0.9966). The title
    // covers rows 192 to 319; the by-line, also there at 10 s, lies below 294.
    int bright = 0;
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x)
            for (int c = 0; c < 3; ++c) {
                if (y >= 194 && y < 290) {
                    bright += held.at(x, y)[c] > 100;
                    ASSERT_NEAR(half.at(x, y)[c], held.at(x, y)[c] / (4 * 0.9966 * 0.9966), 1.5) << x << "," << y;
                } else if (y < 188 || y >= 324) {
                    ASSERT_EQ(half.at(x, y)[c], 0) << "nothing else is drawn at 2.5 s: " << x << "," << y;
                }
            }
    EXPECT_GT(bright, 1000);
}

TEST(CaptureShow, TheWholeShowsSoundHasEveryCueInPlaceAndOnlyTheCrashUnderTheMute) {
    Scratch scratch;
    ASSERT_EQ(scratch.run("--size 16x16 --audio a.wav"), 0) << scratch.errors;
    const cue::Stereo mix = cue::readRecording(scratch.file("a.wav"));
    const cue::Analysis analysis = cue::analyse(mix, scratch.file("data"));
    ASSERT_TRUE(analysis.musicFound);
    EXPECT_EQ(analysis.musicStart, 0);
    ASSERT_EQ(analysis.cues.size(), sampleCueCount);
    for (const cue::CueResult& result : analysis.cues) {
        EXPECT_TRUE(result.found) << result.sample;
        EXPECT_LE(std::abs(result.errorMs), 1.0) << result.sample;
    }
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
