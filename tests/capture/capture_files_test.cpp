// The writers of the capture's files, each read back with an independent
// reader.
#include "capture/capture_test_support.h"
#include "contact_sheet.h"
#include "picture_files.h"
#include "png_writer.h"
#include "wav_writer.h"

#include <gtest/gtest.h>

namespace {

using capture_test::ScratchDirectory;

TEST(PngWriter, KeepsTheTopRowFirstAndEveryChannel) {
    ScratchDirectory scratch;
    // 3 x 2: top row red, green, blue; bottom row black, grey, white.
    const uint8_t rgb[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 128, 128, 128, 255, 255, 255};
    std::string error;
    ASSERT_TRUE(writePng(scratch.file("p.png").c_str(), rgb, 3, 2, error)) << error;
    capture_test::RgbPicture picture = capture_test::readPng(scratch.file("p.png"));
    ASSERT_EQ(picture.width, 3);
    ASSERT_EQ(picture.height, 2);
    EXPECT_EQ(std::vector<uint8_t>(rgb, rgb + sizeof rgb), picture.rgb);
}

TEST(PngWriter, ReportsAPathItCannotWrite) {
    const uint8_t rgb[3] = {};
    std::string error;
    EXPECT_FALSE(writePng("/nonexistent-directory/p.png", rgb, 1, 1, error));
    EXPECT_NE(error.find("/nonexistent-directory/p.png"), std::string::npos) << error;
}

TEST(PictureFiles, NamesFramesByIndexAndStillsByMilliseconds) {
    const uint8_t rgb[3] = {};
    CapturedFrame frame = {42, 2500, 1, 1, rgb};
    EXPECT_EQ(PictureFiles::fileName(PictureFiles::Naming::ByFrameIndex, frame), "000042.png");
    EXPECT_EQ(PictureFiles::fileName(PictureFiles::Naming::ByMilliseconds, frame), "at-002500.png");
    frame.index = 1234567;
    frame.milliseconds = 0;
    EXPECT_EQ(PictureFiles::fileName(PictureFiles::Naming::ByFrameIndex, frame), "1234567.png");
    EXPECT_EQ(PictureFiles::fileName(PictureFiles::Naming::ByMilliseconds, frame), "at-000000.png");

    ScratchDirectory scratch;
    std::string error;
    auto files = PictureFiles::create(scratch.file("a/b"), PictureFiles::Naming::ByFrameIndex, error);
    ASSERT_TRUE(files) << error;
    frame.index = 7;
    ASSERT_TRUE(files->writeFrame(frame, error)) << error;
    EXPECT_EQ(capture_test::directoryNames(scratch.file("a/b")), std::vector<std::string>{"000007.png"});
    // A file where the directory should be.
    EXPECT_FALSE(PictureFiles::create(scratch.file("a/b/000007.png"), PictureFiles::Naming::ByFrameIndex, error));
}

TEST(WavWriter, WritesSixteenBitStereoAt44100AndClosesAfterAnyLength) {
    ScratchDirectory scratch;
    std::string error;
    auto wav = WavWriter::create(scratch.file("a.wav"), error);
    ASSERT_TRUE(wav) << error;
    const int16_t first[] = {1, -1, 32767, -32768};
    const int16_t second[] = {5, 6};
    ASSERT_TRUE(wav->writeAudio(first, 2, error)) << error;
    ASSERT_TRUE(wav->writeAudio(second, 1, error)) << error;
    ASSERT_TRUE(wav->finish(error)) << error;
    EXPECT_FALSE(wav->writeAudio(second, 1, error));

    capture_test::Sound sound = capture_test::readSound(scratch.file("a.wav"));
    EXPECT_EQ(sound.rate, 44100);
    EXPECT_EQ(sound.channels, 2);
    EXPECT_EQ(sound.samples, (std::vector<int16_t>{1, -1, 32767, -32768, 5, 6}));
    // 44-byte header and 12 bytes of samples: the header was finished.
    EXPECT_EQ(capture_test::fileBytes(scratch.file("a.wav")).size(), 56u);
    EXPECT_FALSE(WavWriter::create("/nonexistent-directory/a.wav", error));
}

TEST(ContactSheet, ChoosesTheMiddleFrameOfTwelveEqualParts) {
    // 4110 frames (the show at 60 fps): parts of 342.5 frames.
    auto show = ContactSheet::chooseFrames(0, 4110);
    EXPECT_EQ(show[0], 171);    // 2.85 s
    EXPECT_EQ(show[1], 513);    // 3 * 4110 / 24 = 513.75
    EXPECT_EQ(show[11], 3938);  // 23 * 4110 / 24 = 3938.75
    // A range of twelve frames fills a cell with each.
    auto twelve = ContactSheet::chooseFrames(100, 12);
    for (int cell = 0; cell < 12; ++cell) EXPECT_EQ(twelve[cell], 100 + cell);
    // A single frame fills every cell.
    for (int64_t frame : ContactSheet::chooseFrames(5, 1)) EXPECT_EQ(frame, 5);
}

TEST(ContactSheet, PlacesEachChosenFrameInItsCellWithALabel) {
    ScratchDirectory scratch;
    std::string error;
    auto sheet = ContactSheet::create(scratch.file("s.png"), 0, 12, 64, 32, error);
    ASSERT_TRUE(sheet) << error;
    std::vector<uint8_t> white(64 * 32 * 3, 255);
    // Only the frame of cell 5 (second row, second column) arrives.
    CapturedFrame frame = {5, 1250, 64, 32, white.data()};
    ASSERT_TRUE(sheet->writeFrame(frame, error));
    frame.index = 12;  // outside the range: ignored
    ASSERT_TRUE(sheet->writeFrame(frame, error));
    ASSERT_TRUE(sheet->finish(error)) << error;

    capture_test::RgbPicture picture = capture_test::readPng(scratch.file("s.png"));
    // Four cells of 256 across with 8 px margins; 128 + 22 px label high.
    ASSERT_EQ(picture.width, 4 * 256 + 5 * 8);
    ASSERT_EQ(picture.height, 3 * (128 + 22) + 4 * 8);
    const int left = 8 + 256 + 8, top = 8 + 150 + 8;
    EXPECT_EQ(picture.at(left + 128, top + 64)[0], 255);  // inside cell 5
    EXPECT_NEAR(picture.at(8 + 128, 8 + 64)[0], 31, 1);    // cell 0, empty: the sheet's grey
    // The label under cell 5 has light pixels; under cell 0 there are none.
    int lightUnder5 = 0, lightUnder0 = 0;
    for (int y = 128; y < 150; ++y)
        for (int x = 0; x < 256; ++x) {
            lightUnder5 += picture.at(left + x, top + y)[0] > 128;
            lightUnder0 += picture.at(8 + x, 8 + y)[0] > 128;
        }
    EXPECT_GT(lightUnder5, 20);
    EXPECT_EQ(lightUnder0, 0);
}

}  // namespace
