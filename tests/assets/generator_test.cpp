// The asset generator: the same bytes on every run, and its writers read
// back with independent readers.
#include "output/png_file.h"
#include "output/sound_file.h"
#include "platform/image.h"
#include "support/cue_analysis.h"
#include "support/png_test_files.h"
#include "support/show_assets.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// A fresh run writes the same bytes as the build's own run did.
TEST(GeneratorRun, WritesTheSameBytesOnEveryRun) {
    const std::string dir = testing::TempDir() + "vesk-assetgen";
    std::filesystem::create_directories(dir);
    ASSERT_EQ(std::system(("'" VESK_ASSETGEN "' '" VESK_ASSET_MANIFEST "' '" + dir + "' 2>/dev/null").c_str()), 0);
    for (const std::string name : showAssets) {
        const std::string fresh = vesk_test::fileBytes(dir + "/" + name);
        EXPECT_TRUE(!fresh.empty() && fresh == vesk_test::fileBytes("data/" + name)) << name;
    }
    std::filesystem::remove_all(dir);
    EXPECT_NE(std::system("'" VESK_ASSETGEN "' '" VESK_ASSET_MANIFEST "' /nonexistent/data 2>/dev/null"), 0);
}

TEST(Generator, SoundAndPngFilesReadBackAsWritten) {
    const std::string wav = testing::TempDir() + "vesk-generator.wav";
    ASSERT_TRUE(writeWavFile(wav, Mono{0.5f, 1.5f, -2.0f, 0.0f}));  // clipped
    EXPECT_EQ(cue::readSound(wav).samples, (std::vector<int16_t>{16384, 16384, 32767, 32767, -32767, -32767, 0, 0}));
    // Opaque red, half-clear green, all but clear black, opaque blue: no
    // pixel is wholly clear, and the partial ones alone keep the alpha.
    const std::string png = testing::TempDir() + "vesk-generator.png";
    const std::vector<uint8_t> rgba{255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 0, 1, 0, 0, 255, 255};
    ASSERT_TRUE(writePngFile(png, 2, 2, rgba));
    auto image = decodePngFile(png.c_str(), 16);
    ASSERT_TRUE(image);
    EXPECT_EQ(std::vector<uint8_t>(image->pixels(), image->pixels() + rgba.size()), rgba);
    EXPECT_FALSE(writePngFile(png, 2, 2, {10, 20, 30, 255}));
}

}  // namespace
