// The capture's parts: its frame clock, its off-screen context and the
// writers of its files, each read back with an independent reader.
#include "capture/capture_run.h"
#include "contact_sheet.h"
#include "frame_timing.h"
#include "offscreen_context.h"
#include "picture_files.h"
#include "platform/image.h"
#include "png_writer.h"
#include "wav_writer.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

using namespace capture_test;

TEST(FrameTiming, FramesMeetTheirMillisecondsAndSamplesWithoutGaps) {
    // Rate, frame: its milliseconds (rounded down), first sample, samples, most samples of a frame.
    const std::vector<int64_t> cases[] = {
        {60, 1, 2406, 40100, 1768410, 735, 735},  // the crash cue meets a frame
        {24, 1, 3, 125, 5512, 1838, 1838},        // 1837.5 samples a frame
        {60000, 1001, 1, 16, 735, 736, 736},
        {1000, 1, 9, 9, 396, 45, 45},
    };
    for (const auto& c : cases) {
        const FrameTiming timing(FrameRate{uint64_t(c[0]), uint64_t(c[1])});
        EXPECT_EQ(std::vector<int64_t>({int64_t(timing.frameMilliseconds(c[2])), timing.firstSample(c[2]), timing.samplesOfFrame(c[2]),
                                        timing.maxSamplesPerFrame()}), std::vector<int64_t>(c.begin() + 3, c.end())) << c[2];
    }
    // The first frame at or after a millisecond: before, at and after.
    const std::pair<uint64_t, int64_t> at60[] = {{0, 0}, {1, 1}, {16, 1}, {17, 2}, {68500, 4110}, {68501, 4111}};
    for (const auto& [milliseconds, frame] : at60) EXPECT_EQ(FrameTiming({60, 1}).firstFrameAtOrAfter(milliseconds), frame);
}

TEST(OffscreenContext, DrawsWithoutADisplayAndReadsTopRowFirst) {
    unsetenv("DISPLAY");
    std::string error;
    auto context = OffscreenContext::create(6, 4, error);
    ASSERT_TRUE(context) << error;
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1, 0, 0);
    glRectf(-1, 0, 1, 1);  // red over the upper half (y up)
    std::vector<uint8_t> rgb(6 * 4 * 3);
    context->readPicture(rgb.data());
    for (size_t i = 0; i < rgb.size(); i += 3)
        EXPECT_EQ(std::vector<uint8_t>(&rgb[i], &rgb[i] + 3), (i < rgb.size() / 2 ? std::vector<uint8_t>{255, 0, 0} : std::vector<uint8_t>{0, 0, 255})) << i / 3;
}

TEST(CaptureFiles, PngWavAndSheetReadBackAsWrittenAndNamesFollowTheRun) {
    Scratch scratch;
    std::string error;
    const std::vector<uint8_t> rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 128, 128, 128, 255, 255, 255};
    ASSERT_TRUE(writePng(scratch.file("p.png").c_str(), rgb.data(), 3, 2, error)) << error;
    // Read back through the show's own decoder, opaque.
    const auto png = decodePngFile(scratch.file("p.png").c_str(), 16);
    ASSERT_TRUE(png && png->width() == 3 && png->height() == 2);
    EXPECT_EQ(std::vector<uint8_t>(png->pixels(), png->pixels() + 24),
              (std::vector<uint8_t>{255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 0, 0, 0, 255, 128, 128, 128, 255, 255, 255, 255, 255}));
    EXPECT_FALSE(writePng("/nonexistent/p.png", rgb.data(), 1, 1, error));
    auto wav = WavWriter::create(scratch.file("a.wav"), error);
    const int16_t first[] = {1, -1, 32767, -32768}, second[] = {5, 6};
    ASSERT_TRUE(wav && wav->writeAudio(first, 2, error) && wav->writeAudio(second, 1, error) && wav->finish(error)) << error;
    const cue::Stereo back = cue::readRecording(scratch.file("a.wav"));
    EXPECT_TRUE(back.samples == (std::vector<int16_t>{1, -1, 32767, -32768, 5, 6}) && back.frames() == 3);
    EXPECT_EQ(fileBytes(scratch.file("a.wav")).size(), 56u);  // the header was finished

    CapturedFrame frame = {1234567, 2500, 1, 1, rgb.data()};
    EXPECT_EQ(PictureFiles::fileName(PictureFiles::Naming::ByFrameIndex, frame), "1234567.png");
    EXPECT_EQ(PictureFiles::fileName(PictureFiles::Naming::ByMilliseconds, frame), "at-002500.png");
    EXPECT_EQ(ContactSheet::chooseFrames(0, 4110)[1], 513);  // the middles of twelve parts of 342.5 frames
    EXPECT_EQ(ContactSheet::chooseFrames(100, 12)[11], 111);
    auto sheet = ContactSheet::create(scratch.file("s.png"), 0, 12, 64, 32, error);
    const std::vector<uint8_t> white(64 * 32 * 3, 255);
    ASSERT_TRUE(sheet && sheet->writeFrame({5, 1250, 64, 32, white.data()}, error) && sheet->finish(error)) << error;
    const auto drawn = decodePngFile(scratch.file("s.png").c_str(), 4096);
    // Four cells of 256 across with 8 px margins, 128 + 22 px label high;
    // cell 5 is in the second row and column, cell 0 empty.
    ASSERT_TRUE(drawn && drawn->width() == 4 * 256 + 5 * 8 && drawn->height() == 3 * (128 + 22) + 4 * 8);
    EXPECT_EQ(drawn->pixels()[size_t((8 + 150 + 8 + 64) * drawn->width() + 8 + 256 + 8 + 128) * 4], 255);
    EXPECT_LT(drawn->pixels()[size_t((8 + 64) * drawn->width() + 8 + 128) * 4], 64);
}

}  // namespace
