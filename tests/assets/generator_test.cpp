// The asset generator: the same bytes on every run, and its writers and
// drawing helpers read back with independent readers.
#include "draw/canvas.h"
#include "draw/lettering.h"
#include "output/png_file.h"
#include "output/sound_file.h"
#include "platform/image.h"
#include "support/cue_analysis.h"
#include "support/show_assets.h"
#include "synth/oscillators.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string bytesOf(const std::string& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

// A fresh run writes the same bytes as the build's own run did.
TEST(GeneratorRun, WritesTheSameBytesOnEveryRun) {
    const std::string dir = testing::TempDir() + "vesk-assetgen";
    std::filesystem::create_directories(dir);
    ASSERT_EQ(std::system(("'" VESK_ASSETGEN "' '" + dir + "' 2>/dev/null").c_str()), 0);
    for (const AssetFile& asset : showAssets) {
        const std::string fresh = bytesOf(dir + "/" + asset.name);
        EXPECT_FALSE(fresh.empty()) << asset.name;
        EXPECT_TRUE(fresh == bytesOf(std::string("data/") + asset.name)) << asset.name;
    }
    std::filesystem::remove_all(dir);
    EXPECT_NE(std::system("'" VESK_ASSETGEN "' 2>/dev/null"), 0);
    EXPECT_NE(std::system("'" VESK_ASSETGEN "' /nonexistent/data 2>/dev/null"), 0);
}

TEST(Generator, SoundFilesClipAndKeepLengthAndSides) {
    const std::string wav = testing::TempDir() + "vesk-generator.wav", mp3 = testing::TempDir() + "vesk-generator.mp3";
    ASSERT_TRUE(writeWavFile(wav, Mono{0.5f, 1.5f, -2.0f, 0.0f}));
    EXPECT_EQ(cue::readSound(wav).samples, (std::vector<int16_t>{16384, 16384, 32767, 32767, -32767, -32767, 0, 0}));
    EXPECT_FALSE(writeWavFile(testing::TempDir() + "no/such/dir/x.wav", Mono{0.0f}));
    // One second of a tone on the left only: the gapless header trims the
    // encoder's padding, so the same length comes back.
    Stereo music(44100);
    SineOscillator tone;
    for (size_t i = 0; i < music.frames(); ++i) music.left[i] = float(0.5 * tone.next(440));
    ASSERT_TRUE(writeMp3File(mp3, music));
    const cue::Stereo back = cue::readSound(mp3);
    ASSERT_EQ(back.frames(), 44100);
    double left = 0, right = 0;
    for (long i = 4410; i < back.frames() - 4410; ++i) left += double(back.at(i, 0)) * back.at(i, 0), right += double(back.at(i, 1)) * back.at(i, 1);
    EXPECT_GT(left, 0.1 * 0.125 * 35280 * 32768.0 * 32768.0);  // a 0.5 sine has a mean square of 0.125
    EXPECT_LT(right, 1e-4 * left);
}

TEST(Generator, PngFilesDecodeInTheShowAndCanvasesBleedColourIntoClearPixels) {
    const std::string path = testing::TempDir() + "vesk-generator.png";
    // Opaque red, half-clear green, clear, opaque blue; opaque pictures are
    // written without alpha.
    for (const std::vector<uint8_t>& rgba : {std::vector<uint8_t>{255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 0, 0, 0, 0, 255, 255},
                                             std::vector<uint8_t>{10, 20, 30, 255}}) {
        const int side = rgba.size() == 16 ? 2 : 1;
        ASSERT_TRUE(writePngFile(path, side, side, rgba));
        auto image = decodePngFile(path.c_str(), 16);
        ASSERT_TRUE(image);
        EXPECT_EQ(std::vector<uint8_t>(image->pixels(), image->pixels() + rgba.size()), rgba);
    }
    EXPECT_FALSE(writePngFile(path, 2, 2, {10, 20, 30, 255}));
    EXPECT_FALSE(writePngFile(testing::TempDir() + "no/such/dir/x.png", 1, 1, {10, 20, 30, 255}));

    Canvas canvas(32, 8);
    cairo_rectangle(canvas.context(), 0, 0, 10, 8);
    cairo_set_source_rgba(canvas.context(), 1, 0, 0, 128 / 255.0);
    cairo_fill(canvas.context());
    const std::vector<uint8_t> rgba = canvas.straightRgba();
    ASSERT_EQ(rgba.size(), 32u * 8 * 4);
    auto at = [&](int x) { return std::vector<uint8_t>(&rgba[(4 * 32 + size_t(x)) * 4], &rgba[(4 * 32 + size_t(x)) * 4 + 4]); };
    EXPECT_EQ(at(5), (std::vector<uint8_t>{255, 0, 0, 128}));  // straight alpha inside
    EXPECT_EQ(at(10), (std::vector<uint8_t>{255, 0, 0, 0}));   // red, still clear, up to four pixels out
    EXPECT_EQ(at(13), (std::vector<uint8_t>{255, 0, 0, 0}));
    EXPECT_EQ(at(14), (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST(Generator, LetteringFitsTheWidthAndCentresTheInkOnTheBaseline) {
    Canvas canvas(400, 200);
    cairo_t* cr = canvas.context();
    const double size = sizeToFit(cr, "KELPWAKE", sansBold, 200, 300, 4);
    const double width = measureText(cr, "KELPWAKE", sansBold, size, 4).width;
    EXPECT_LE(width, 300);
    EXPECT_GT(width, 285);
    EXPECT_EQ(sizeToFit(cr, "K", sansBold, 20, 300), 20);  // a size that fits is kept
    addCentredText(cr, "KELPWAKE", sansBold, size, 200, 150, 4);
    double x0, y0, x1, y1;
    cairo_fill_extents(cr, &x0, &y0, &x1, &y1);
    EXPECT_NEAR((x0 + x1) / 2, 200, 1.0);
    EXPECT_NEAR(x1 - x0, width, 1.0);
    EXPECT_NEAR(y1, 150, 1.0);  // capitals sit on the baseline
    EXPECT_LT(y0, 150 - size * 0.6);
}

}  // namespace
