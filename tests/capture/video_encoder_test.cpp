#include "capture/capture_test_support.h"
#include "video_encoder.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <cstdlib>

namespace {

using capture_test::ScratchDirectory;

// ffmpeg's end of a pipe may close under us; that must be a failed write.
class VideoEncoderTest : public ::testing::Test {
protected:
    void SetUp() override { signal(SIGPIPE, SIG_IGN); }
};

TEST_F(VideoEncoderTest, EncodesFramesAndSoundOfTheGivenRate) {
    ScratchDirectory scratch;
    std::string error;
    auto encoder = VideoEncoder::create(scratch.file("v.mp4"), 32, 16, FrameRate{25, 1}, error);
    ASSERT_TRUE(encoder) << error;
    std::vector<uint8_t> picture(32 * 16 * 3, 200);
    std::vector<int16_t> sound(1764 * 2, 1000);  // 44100 / 25 samples a frame
    for (int64_t frame = 0; frame < 50; ++frame) {
        ASSERT_TRUE(encoder->writeAudio(sound.data(), 1764, error)) << error;
        ASSERT_TRUE(encoder->writeFrame(CapturedFrame{frame, 0, 32, 16, picture.data()}, error)) << error;
    }
    ASSERT_TRUE(encoder->finish(error)) << error;

    std::string streams = capture_test::commandOutput(
        "ffprobe -v error -count_frames -show_entries stream=codec_name,width,height,pix_fmt,nb_read_frames,"
        "sample_rate,channels -of default=noprint_wrappers=1 " + scratch.file("v.mp4"));
    for (const char* expected : {"codec_name=h264", "width=32", "height=16", "pix_fmt=yuv420p", "nb_read_frames=50",
                                 "codec_name=aac", "sample_rate=44100", "channels=2"})
        EXPECT_NE(streams.find(expected), std::string::npos) << expected << " not in\n" << streams;
}

TEST_F(VideoEncoderTest, SaysSoWhenFfmpegIsMissing) {
    const char* path = std::getenv("PATH");
    std::string saved = path ? path : "";
    setenv("PATH", "/nonexistent-directory", 1);
    std::string error;
    auto encoder = VideoEncoder::create("v.mp4", 32, 16, FrameRate{25, 1}, error);
    setenv("PATH", saved.c_str(), 1);
    EXPECT_FALSE(encoder);
    EXPECT_NE(error.find("ffmpeg"), std::string::npos) << error;
}

TEST_F(VideoEncoderTest, ReportsFfmpegFailingToWriteTheFile) {
    std::string error;
    auto encoder = VideoEncoder::create("/nonexistent-directory/v.mp4", 32, 16, FrameRate{25, 1}, error);
    ASSERT_TRUE(encoder) << error;
    std::vector<uint8_t> picture(32 * 16 * 3, 0);
    // ffmpeg may give up before or after taking the frames; either way the
    // failure must surface by finish.
    bool written = true;
    for (int64_t frame = 0; frame < 50 && written; ++frame)
        written = encoder->writeFrame(CapturedFrame{frame, 0, 32, 16, picture.data()}, error);
    std::string finishError;
    EXPECT_FALSE(encoder->finish(finishError));
    EXPECT_NE(finishError.find("ffmpeg failed"), std::string::npos) << finishError;
}

}  // namespace
