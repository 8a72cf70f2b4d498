// The PNG decoder: every colour type to the same 8-bit RGBA, top row first;
// every broken file to no image, quietly and without a big allocation.
#include "platform/image.h"
#include "support/png_test_files.h"

#include <png.h>

#include <atomic>
#include <cstdlib>
#include <new>

// The largest single operator-new request while a test watches, so that
// "refused before allocating" can be checked.
static std::atomic<bool> watching{false};
static std::atomic<size_t> largest{0};
static void* allocate(size_t size) {
    if (watching && size > largest) largest = size;
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}
void* operator new(size_t size) { return allocate(size); }
void* operator new[](size_t size) { return allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }
void operator delete[](void* block, size_t) noexcept { std::free(block); }

using namespace vesk_test;
const int noLimit = 1 << 20;

// 3 x 2, top row: red, half-clear green, clear blue; bottom row: white, a
// quarter-opaque dark blue-grey, opaque brown.
const Rgba picture[6] = {{255, 0, 0, 255}, {0, 255, 0, 128}, {0, 0, 255, 0},
                         {255, 255, 255, 255}, {10, 20, 30, 64}, {200, 100, 50, 255}};

// The 3 x 2 picture in `type` at `depth`, `channels` samples a pixel (grey
// from red; 16-bit samples v are written as v * 257, which reads back as v).
PngSpec spec(int type, int depth, int channels) {
    PngSpec s{3, 2, type, depth, {}};
    s.rows.resize(2);
    for (int i = 0; i < 6; ++i) {
        const uint8_t samples[] = {picture[i].r, picture[i].g, picture[i].b, picture[i].a};
        for (int c = 0; c < channels; ++c) s.rows[size_t(i / 3)].insert(s.rows[size_t(i / 3)].end(), size_t(depth / 8), samples[c]);
    }
    return s;
}

std::vector<Rgba> pixelsOf(const DecodedImage& image) {
    const Rgba* p = reinterpret_cast<const Rgba*>(image.pixels());
    return std::vector<Rgba>(p, p + image.width() * image.height());
}

// The conversions are libpng's; the decoder asks for 8-bit sRGB RGBA with
// the top row first, from any file.
TEST(PngDecoding, ColourTypesGiveTheSameRgbaTopRowFirst) {
    std::vector<Rgba> grey;
    for (const Rgba& p : picture) grey.push_back({p.r, p.r, p.r, 255});
    const struct { const char* what; PngSpec file; std::vector<Rgba> pixels; } cases[] = {
        {"RGBA 8", spec(PNG_COLOR_TYPE_RGBA, 8, 4), std::vector<Rgba>(picture, picture + 6)},
        {"RGBA 16", spec(PNG_COLOR_TYPE_RGBA, 16, 4), std::vector<Rgba>(picture, picture + 6)},
        {"grey", spec(PNG_COLOR_TYPE_GRAY, 8, 1), grey},
    };
    for (const auto& c : cases) {
        const std::vector<uint8_t> file = encodePng(c.file);
        std::unique_ptr<DecodedImage> image = decodePngMemory(file.data(), file.size(), noLimit);
        ASSERT_TRUE(image) << c.what;
        EXPECT_TRUE(image->width() == 3 && image->height() == 2) << c.what;
        EXPECT_EQ(pixelsOf(*image), c.pixels) << c.what;
    }
}

// Decodes watching stderr and the allocations: a refusal is silent and
// comes before the pixel buffer is made.
void expectRefusedQuietly(const std::vector<uint8_t>& file, const std::string& what, int limit = noLimit) {
    testing::internal::CaptureStderr();
    largest = 0, watching = true;
    std::unique_ptr<DecodedImage> image = decodePngMemory(file.data(), file.size(), limit);
    watching = false;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << what;
    EXPECT_FALSE(image) << what;
    EXPECT_LT(largest, size_t(1) << 20) << what;
}

TEST(PngDecoding, BrokenFilesGiveNoImageQuietly) {
    const std::vector<uint8_t> good = encodePng(spec(PNG_COLOR_TYPE_RGB, 8, 3));
    const size_t iend = good.size() - 12;  // the last chunk, IEND, has no data
    // Every cut that loses image data, from the empty file and the partial
    // signature on; a file that lacks only IEND is whole. Damaged bytes and
    // checksums are libpng's to find and end the same way.
    for (size_t length = 0; length < iend; ++length)
        expectRefusedQuietly(std::vector<uint8_t>(good.begin(), good.begin() + long(length)), "cut at " + std::to_string(length));
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
    fixPngChunkCrc(file, 8);
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
    const std::vector<uint8_t> atBytes = headerClaiming(8192, 8192);
    largest = 0, watching = true;
    EXPECT_FALSE(decodePngMemory(atBytes.data(), atBytes.size(), noLimit));
    watching = false;
    EXPECT_EQ(largest, maxImageBytes);
    // The dimension limit is inclusive.
    auto stripe = [](int width, int height) {
        return encodePng({width, height, PNG_COLOR_TYPE_GRAY, 8, std::vector<std::vector<uint8_t>>(size_t(height), std::vector<uint8_t>(size_t(width), 77))});
    };
    const std::vector<uint8_t> atLimit = stripe(8, 8);
    std::unique_ptr<DecodedImage> image = decodePngMemory(atLimit.data(), atLimit.size(), 8);
    ASSERT_TRUE(image);
    EXPECT_EQ(pixelsOf(*image).back(), (Rgba{77, 77, 77, 255}));
    expectRefusedQuietly(stripe(9, 1), "9 wide, limit 8", 8);
    expectRefusedQuietly(stripe(1, 9), "9 high, limit 8", 8);
}
