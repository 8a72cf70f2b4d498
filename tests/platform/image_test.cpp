// The PNG decoder: every colour type to the same 8-bit RGBA, top row first;
// every broken file to no image, quietly and without a big allocation.
#include "platform/image.h"
#include "support/png_test_files.h"

#include <gtest/gtest.h>
#include <png.h>

#include <atomic>
#include <cstdlib>
#include <new>

// The largest single operator-new request while a test watches, so that
// "refused before allocating" can be checked.
namespace {
std::atomic<bool> watching{false};
std::atomic<size_t> largest{0};
void* allocate(size_t size) {
    if (watching && size > largest) largest = size;
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}
}  // namespace
void* operator new(size_t size) { return allocate(size); }
void* operator new[](size_t size) { return allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }
void operator delete[](void* block, size_t) noexcept { std::free(block); }

namespace {

using vesk_test::PngSpec;
using vesk_test::Rgba;
const int noLimit = 1 << 20;

// 3 x 2, top row: red, half-clear green, clear blue; bottom row: white, a
// quarter-opaque dark blue-grey, opaque brown.
const Rgba picture[6] = {{255, 0, 0, 255}, {0, 255, 0, 128}, {0, 0, 255, 0},
                         {255, 255, 255, 255}, {10, 20, 30, 64}, {200, 100, 50, 255}};
const uint8_t greys[6] = {0, 128, 255, 17, 34, 200};

// The 3 x 2 picture in `type` at `depth`: `samples(i)` gives pixel i's
// samples (16-bit samples v are written as v * 257, which reads back as v).
template <typename Samples>
PngSpec spec(int type, int depth, Samples samples) {
    PngSpec s;
    s.width = 3, s.height = 2, s.colorType = type, s.bitDepth = depth;
    s.rows.resize(2);
    for (int i = 0; i < 6; ++i)
        for (int v : samples(i))
            for (int byte = 0; byte < depth / 8; ++byte) s.rows[size_t(i / 3)].push_back(uint8_t(v));
    return s;
}
std::vector<int> rgba(int i) { return {picture[i].r, picture[i].g, picture[i].b, picture[i].a}; }
std::vector<int> rgb(int i) { return {picture[i].r, picture[i].g, picture[i].b}; }
std::vector<int> grey(int i) { return {greys[i]}; }
std::vector<int> greyAlpha(int i) { return {greys[i], picture[i].a}; }
PngSpec paletted(int depth, int alphaEntries) {
    PngSpec s = spec(PNG_COLOR_TYPE_PALETTE, 8, [](int i) { return std::vector<int>{i}; });
    for (const Rgba& p : picture) s.palette.insert(s.palette.end(), {p.r, p.g, p.b});
    for (int i = 0; i < alphaEntries; ++i) s.paletteAlpha.push_back(picture[i].a);
    if (depth == 4) s.bitDepth = 4, s.rows = {{0x01, 0x20}, {0x34, 0x50}};  // high nibble first
    return s;
}

std::vector<Rgba> pixelsOf(const DecodedImage& image) {
    const Rgba* p = reinterpret_cast<const Rgba*>(image.pixels());
    return std::vector<Rgba>(p, p + image.width() * image.height());
}
std::vector<Rgba> expected(bool alpha, bool fromGrey) {
    std::vector<Rgba> out;
    for (int i = 0; i < 6; ++i) {
        Rgba p = fromGrey ? Rgba{greys[i], greys[i], greys[i], picture[i].a} : picture[i];
        if (!alpha) p.a = 255;
        out.push_back(p);
    }
    return out;
}

TEST(PngDecoding, EveryColourTypeGivesTheSameRgbaTopRowFirst) {
    PngSpec interlaced = spec(PNG_COLOR_TYPE_RGBA, 8, rgba), keyed = spec(PNG_COLOR_TYPE_RGB, 8, rgb);
    interlaced.interlaced = true;
    keyed.transparentColor = {10, 20, 30};
    std::vector<Rgba> keyedPixels = expected(false, false);
    keyedPixels[4].a = 0;  // only the pixel of exactly that colour
    const struct {
        const char* what;
        PngSpec file;
        std::vector<Rgba> pixels;
    } cases[] = {
        {"RGBA 8", spec(PNG_COLOR_TYPE_RGBA, 8, rgba), expected(true, false)},
        {"RGBA 16", spec(PNG_COLOR_TYPE_RGBA, 16, rgba), expected(true, false)},
        {"RGBA interlaced", interlaced, expected(true, false)},
        {"RGB", spec(PNG_COLOR_TYPE_RGB, 8, rgb), expected(false, false)},
        {"RGB with a transparent colour", keyed, keyedPixels},
        {"palette", paletted(8, 0), expected(false, false)},
        // Entries past the end of tRNS are opaque: the last one (brown) is.
        {"palette, short tRNS", paletted(8, 5), expected(true, false)},
        {"palette, 4 bits", paletted(4, 0), expected(false, false)},
        {"grey", spec(PNG_COLOR_TYPE_GRAY, 8, grey), expected(false, true)},
        {"grey 16", spec(PNG_COLOR_TYPE_GRAY, 16, grey), expected(false, true)},
        {"grey with alpha", spec(PNG_COLOR_TYPE_GRAY_ALPHA, 8, greyAlpha), expected(true, true)},
    };
    for (const auto& c : cases) {
        const std::vector<uint8_t> file = vesk_test::encodePng(c.file);
        std::unique_ptr<DecodedImage> image = decodePngMemory(file.data(), file.size(), noLimit);
        ASSERT_TRUE(image) << c.what;
        EXPECT_EQ(image->width(), 3) << c.what;
        EXPECT_EQ(image->height(), 2) << c.what;
        EXPECT_EQ(pixelsOf(*image), c.pixels) << c.what;
    }
    // The same from a file on disk.
    const std::string path = vesk_test::writeBytes("rgba.png", vesk_test::encodePng(spec(PNG_COLOR_TYPE_RGBA, 8, rgba)));
    std::unique_ptr<DecodedImage> image = decodePngFile(path.c_str(), noLimit);
    ASSERT_TRUE(image);
    EXPECT_EQ(pixelsOf(*image), expected(true, false));
}

// Decodes watching stderr and the allocations: a refusal is silent and
// comes before the pixel buffer is made.
void expectRefusedQuietly(const std::vector<uint8_t>& file, const std::string& what, int limit = noLimit) {
    largest = 0;
    testing::internal::CaptureStderr();
    watching = true;
    std::unique_ptr<DecodedImage> image = decodePngMemory(file.data(), file.size(), limit);
    watching = false;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << what;
    EXPECT_FALSE(image) << what;
    EXPECT_LT(largest, size_t(1) << 20) << what;
}

TEST(PngDecoding, BrokenFilesGiveNoImageQuietly) {
    const std::vector<uint8_t> good = vesk_test::encodePng(spec(PNG_COLOR_TYPE_RGB, 8, rgb));
    const size_t idat = vesk_test::findPngChunk(good, "IDAT"), iend = vesk_test::findPngChunk(good, "IEND");
    ASSERT_TRUE(idat > 0 && iend > idat);
    // Every cut that loses image data; a file that lacks only IEND is whole.
    for (size_t length = 0; length < iend; ++length)
        expectRefusedQuietly(std::vector<uint8_t>(good.begin(), good.begin() + long(length)), "cut at " + std::to_string(length));
    std::vector<uint8_t> broken = good;
    broken[idat + 11] ^= 0xFF;
    expectRefusedQuietly(broken, "flipped byte in IDAT");
    broken = good;
    broken[iend - 1] ^= 0x01;
    expectRefusedQuietly(broken, "bad IDAT CRC");
    broken = good;
    broken[29] ^= 0x01;
    expectRefusedQuietly(broken, "bad IHDR CRC");
    broken = good;
    broken[idat + 8] = 0x00;
    vesk_test::fixPngChunkCrc(broken, idat);
    expectRefusedQuietly(broken, "IDAT not a zlib stream");
    broken = good;
    broken[1] = 'Q';
    expectRefusedQuietly(broken, "wrong signature");
    expectRefusedQuietly({'t', 'e', 'x', 't', '\n'}, "not a PNG");
    expectRefusedQuietly({}, "empty");
    // A damaged ancillary chunk is skipped without a word.
    broken = good;
    const uint8_t text[] = {0, 0, 0, 3, 't', 'E', 'X', 't', 'a', 0, 'b', 0xDE, 0xAD, 0xBE, 0xEF};
    broken.insert(broken.begin() + long(iend), text, text + sizeof text);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(decodePngMemory(broken.data(), broken.size(), noLimit));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    for (const char* path : {"/nonexistent/none.png", "/tmp", "", static_cast<const char*>(nullptr)})
        EXPECT_FALSE(decodePngFile(path, noLimit)) << (path ? path : "null");
}

// A signature and an RGBA header claiming width x height, then the start of
// an IDAT that stops short: the header alone decides.
std::vector<uint8_t> headerClaiming(uint32_t width, uint32_t height) {
    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (uint32_t side : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8) file.push_back(uint8_t(side >> shift));
    file.insert(file.end(), {8, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x10, 0, 'I', 'D', 'A', 'T', 0x78, 0x9C});
    vesk_test::fixPngChunkCrc(file, 8);
    return file;
}

TEST(PngDecoding, SizeLimitsHoldAtTheirEdgesBeforeAllocating) {
    expectRefusedQuietly(headerClaiming(60000, 60000), "60000 square");
    expectRefusedQuietly(headerClaiming(60000, 60000), "60000 square, limit 16384", 16384);
    expectRefusedQuietly(headerClaiming(8192, 8193), "a row over 256 MiB");
    expectRefusedQuietly(headerClaiming(8193, 8192), "a column over 256 MiB");
    expectRefusedQuietly(headerClaiming(0x7FFFFFFF, 0x7FFFFFFF), "largest header", 0x7FFFFFFF);
    // 8192 x 8192 x 4 is exactly the byte limit: the buffer is made, then the
    // cut-off data fail.
    largest = 0;
    watching = true;
    const std::vector<uint8_t> atBytes = headerClaiming(8192, 8192);
    EXPECT_FALSE(decodePngMemory(atBytes.data(), atBytes.size(), noLimit));
    watching = false;
    EXPECT_EQ(largest, maxImageBytes);
    // The dimension limit is inclusive.
    auto stripe = [](int width, int height) {
        PngSpec s;
        s.width = width, s.height = height, s.colorType = PNG_COLOR_TYPE_GRAY;
        s.rows.assign(size_t(height), std::vector<uint8_t>(size_t(width), 77));
        return vesk_test::encodePng(s);
    };
    const std::vector<uint8_t> atLimit = stripe(8, 8);
    std::unique_ptr<DecodedImage> image = decodePngMemory(atLimit.data(), atLimit.size(), 8);
    ASSERT_TRUE(image);
    EXPECT_EQ(pixelsOf(*image).back(), (Rgba{77, 77, 77, 255}));
    expectRefusedQuietly(stripe(9, 1), "9 wide, limit 8", 8);
    expectRefusedQuietly(stripe(1, 9), "9 high, limit 8", 8);
}

}  // namespace
