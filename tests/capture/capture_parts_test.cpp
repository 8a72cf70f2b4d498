// The capture's parts: its frame clock, its off-screen context and the
// writers of its files, each read back with an independent reader.
#include "capture/capture_run.h"
#include "contact_sheet.h"
#include "frame_timing.h"
#include "offscreen_context.h"
#include "picture_files.h"
#include "png_writer.h"
#include "video_encoder.h"
#include "wav_writer.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <signal.h>

namespace {

using capture_test::readPng;

TEST(FrameTiming, FramesMeetTheirMillisecondsAndSamplesWithoutGaps) {
    const struct {
        FrameRate rate;
        int64_t frame;
        uint64_t milliseconds;  // of that frame, rounded down
        int64_t firstSample;
        int samples, maxSamples;
    } cases[] = {
        {{60, 1}, 1, 16, 735, 735, 735},
        {{60, 1}, 2406, 40100, 1768410, 735, 735},  // the crash cue meets a frame
        {{24, 1}, 0, 0, 0, 1837, 1838},             // 1837.5 samples a frame
        {{24, 1}, 3, 125, 5512, 1838, 1838},
        {{60000, 1001}, 60, 1001, 44144, 735, 736},
        {{60000, 1001}, 60000, 1001000, 44144100, 735, 736},
        {{1000, 1}, 9, 9, 396, 45, 45},
    };
    for (const auto& c : cases) {
        FrameTiming timing(c.rate);
        SCOPED_TRACE(std::to_string(c.rate.numerator) + "/" + std::to_string(c.rate.denominator) + " frame " +
                     std::to_string(c.frame));
        EXPECT_EQ(timing.frameMilliseconds(c.frame), c.milliseconds);
        EXPECT_EQ(timing.firstSample(c.frame), c.firstSample);
        EXPECT_EQ(timing.samplesOfFrame(c.frame), c.samples);
        EXPECT_EQ(timing.maxSamplesPerFrame(), c.maxSamples);
    }
    // The first frame at or after a millisecond: before, at and after.
    const std::pair<uint64_t, int64_t> at60[] = {{0, 0}, {1, 1}, {16, 1}, {17, 2}, {68484, 4110}, {68500, 4110}, {68501, 4111}};
    for (const auto& [milliseconds, frame] : at60) EXPECT_EQ(FrameTiming({60, 1}).firstFrameAtOrAfter(milliseconds), frame);
    EXPECT_EQ(FrameTiming({1, 1}).firstFrameAtOrAfter(1000), 1);
    EXPECT_EQ(FrameTiming({1, 1}).firstFrameAtOrAfter(1001), 2);
}

TEST(OffscreenContext, DrawsWithoutADisplayAndReadsTopRowFirst) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    std::string error;
    auto context = OffscreenContext::create(6, 4, error);
    ASSERT_TRUE(context) << error;
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    // Half-transparent red over the upper half (y up), blended as the show blends.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 0, 0, 0.5f);
    glRectf(-1, 0, 1, 1);
    std::vector<uint8_t> rgb(6 * 4 * 3);
    context->readPicture(rgb.data());
    for (size_t i = 0; i < rgb.size(); i += 3) {
        const bool top = i < rgb.size() / 2;
        EXPECT_NEAR(rgb[i], top ? 128 : 0, 1) << i / 3;
        EXPECT_EQ(rgb[i + 1], 0) << i / 3;
        EXPECT_NEAR(rgb[i + 2], top ? 127 : 255, 1) << i / 3;
    }
    EXPECT_FALSE(OffscreenContext::create(1 << 20, 16, error));
    EXPECT_NE(error.find("pixels a side"), std::string::npos) << error;
}

TEST(CaptureFiles, PngAndWavReadBackAsWritten) {
    capture_test::Scratch scratch;
    std::string error;
    // 3 x 2: top row red, green, blue; bottom row black, grey, white.
    const std::vector<uint8_t> rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 128, 128, 128, 255, 255, 255};
    ASSERT_TRUE(writePng(scratch.file("p.png").c_str(), rgb.data(), 3, 2, error)) << error;
    EXPECT_EQ(readPng(scratch.file("p.png")).rgb, rgb);
    EXPECT_FALSE(writePng("/nonexistent/p.png", rgb.data(), 1, 1, error));
    EXPECT_NE(error.find("/nonexistent/p.png"), std::string::npos) << error;

    auto wav = WavWriter::create(scratch.file("a.wav"), error);
    ASSERT_TRUE(wav) << error;
    const int16_t first[] = {1, -1, 32767, -32768}, second[] = {5, 6};
    ASSERT_TRUE(wav->writeAudio(first, 2, error) && wav->writeAudio(second, 1, error)) << error;
    ASSERT_TRUE(wav->finish(error)) << error;
    EXPECT_FALSE(wav->writeAudio(second, 1, error));
    EXPECT_EQ(cue::readRecording(scratch.file("a.wav")).samples, (std::vector<int16_t>{1, -1, 32767, -32768, 5, 6}));
    EXPECT_EQ(capture_test::fileBytes(scratch.file("a.wav")).size(), 56u);  // the header was finished
    EXPECT_FALSE(WavWriter::create("/nonexistent/a.wav", error));
}

TEST(CaptureFiles, FramesAndStillsAreNamedByIndexAndMilliseconds) {
    const uint8_t rgb[3] = {};
    CapturedFrame frame = {42, 2500, 1, 1, rgb};
    EXPECT_EQ(PictureFiles::fileName(PictureFiles::Naming::ByFrameIndex, frame), "000042.png");
    EXPECT_EQ(PictureFiles::fileName(PictureFiles::Naming::ByMilliseconds, frame), "at-002500.png");
    frame.index = 1234567;
    EXPECT_EQ(PictureFiles::fileName(PictureFiles::Naming::ByFrameIndex, frame), "1234567.png");
    capture_test::Scratch scratch;
    std::string error;
    auto files = PictureFiles::create(scratch.file("a/b"), PictureFiles::Naming::ByFrameIndex, error);
    ASSERT_TRUE(files) << error;
    frame.index = 7;
    ASSERT_TRUE(files->writeFrame(frame, error)) << error;
    EXPECT_EQ(capture_test::directoryNames(scratch.file("a/b")), std::vector<std::string>{"000007.png"});
    EXPECT_FALSE(PictureFiles::create(scratch.file("a/b/000007.png"), PictureFiles::Naming::ByFrameIndex, error));
}

TEST(CaptureFiles, TheSheetShowsTheMiddleFrameOfTwelvePartsWithALabel) {
    // 4110 frames (the show at 60 fps): parts of 342.5 frames.
    auto show = ContactSheet::chooseFrames(0, 4110);
    EXPECT_EQ(show[0], 171);
    EXPECT_EQ(show[1], 513);
    EXPECT_EQ(show[11], 3938);
    auto twelve = ContactSheet::chooseFrames(100, 12);
    for (int cell = 0; cell < 12; ++cell) EXPECT_EQ(twelve[size_t(cell)], 100 + cell);
    for (int64_t frame : ContactSheet::chooseFrames(5, 1)) EXPECT_EQ(frame, 5);

    capture_test::Scratch scratch;
    std::string error;
    auto sheet = ContactSheet::create(scratch.file("s.png"), 0, 12, 64, 32, error);
    ASSERT_TRUE(sheet) << error;
    std::vector<uint8_t> white(64 * 32 * 3, 255);
    CapturedFrame frame = {5, 1250, 64, 32, white.data()};  // cell 5: second row, second column
    ASSERT_TRUE(sheet->writeFrame(frame, error));
    frame.index = 12;  // outside the range: ignored
    ASSERT_TRUE(sheet->writeFrame(frame, error));
    ASSERT_TRUE(sheet->finish(error)) << error;
    capture_test::Picture picture = readPng(scratch.file("s.png"));
    // Four cells of 256 across with 8 px margins; 128 + 22 px label high.
    ASSERT_EQ(picture.width, 4 * 256 + 5 * 8);
    ASSERT_EQ(picture.height, 3 * (128 + 22) + 4 * 8);
    const int left = 8 + 256 + 8, top = 8 + 150 + 8;
    EXPECT_EQ(picture.at(left + 128, top + 64)[0], 255);
    EXPECT_NEAR(picture.at(8 + 128, 8 + 64)[0], 31, 1);  // an empty cell: the sheet's grey
    int lightUnder5 = 0, lightUnder0 = 0;
    for (int y = 128; y < 150; ++y)
        for (int x = 0; x < 256; ++x) {
            lightUnder5 += picture.at(left + x, top + y)[0] > 128;
            lightUnder0 += picture.at(8 + x, 8 + y)[0] > 128;
        }
    EXPECT_GT(lightUnder5, 20);
    EXPECT_EQ(lightUnder0, 0);
}

TEST(CaptureFiles, TheVideoHoldsFramesAndSoundOrSaysWhyNot) {
    signal(SIGPIPE, SIG_IGN);  // ffmpeg's end of the pipe may close under us
    capture_test::Scratch scratch;
    std::string error;
    auto encoder = VideoEncoder::create(scratch.file("v.mp4"), 32, 16, FrameRate{25, 1}, error);
    ASSERT_TRUE(encoder) << error;
    std::vector<uint8_t> picture(32 * 16 * 3, 200);
    std::vector<int16_t> sound(1764 * 2, 1000);  // 44100 / 25 samples a frame
    for (int64_t frame = 0; frame < 50; ++frame)
        ASSERT_TRUE(encoder->writeAudio(sound.data(), 1764, error) &&
                    encoder->writeFrame(CapturedFrame{frame, 0, 32, 16, picture.data()}, error)) << error;
    ASSERT_TRUE(encoder->finish(error)) << error;
    capture_test::expectProbe(scratch.file("v.mp4"), {"codec_name=h264", "width=32", "height=16", "pix_fmt=yuv420p",
                                                      "nb_read_frames=50", "codec_name=aac", "sample_rate=44100", "channels=2"});
    // ffmpeg failing to write may show before or after the frames; by
    // finish at the latest.
    encoder = VideoEncoder::create("/nonexistent/v.mp4", 32, 16, FrameRate{25, 1}, error);
    ASSERT_TRUE(encoder) << error;
    for (int64_t frame = 0; frame < 50 && encoder->writeFrame(CapturedFrame{frame, 0, 32, 16, picture.data()}, error); ++frame) {
    }
    EXPECT_FALSE(encoder->finish(error));
    EXPECT_NE(error.find("ffmpeg failed"), std::string::npos) << error;
    const std::string path = getenv("PATH");
    setenv("PATH", "/nonexistent", 1);
    EXPECT_FALSE(VideoEncoder::create("v.mp4", 32, 16, FrameRate{25, 1}, error));
    setenv("PATH", path.c_str(), 1);
    EXPECT_NE(error.find("ffmpeg"), std::string::npos) << error;
}

}  // namespace
