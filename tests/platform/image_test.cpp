// The PNG decoder: every colour type to the same 8-bit RGBA, top row first;
// every broken file to no image, quietly and without a big allocation.
#include "platform/image.h"
#include "platform/last_error.h"

#include <gtest/gtest.h>
#include <png.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

// Counts the largest single operator-new request while a test watches, so
// that "refused before allocating" can be checked. Behaves exactly like the
// default operators otherwise.
namespace {
std::atomic<bool> watchingAllocations{false};
std::atomic<size_t> largestAllocation{0};

void* allocate(size_t size) {
    if (watchingAllocations.load(std::memory_order_relaxed)) {
        size_t seen = largestAllocation.load(std::memory_order_relaxed);
        while (size > seen && !largestAllocation.compare_exchange_weak(seen, size)) {
        }
    }
    void* block = std::malloc(size ? size : 1);
    if (!block) throw std::bad_alloc();
    return block;
}
}  // namespace

void* operator new(size_t size) { return allocate(size); }
void* operator new[](size_t size) { return allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }
void operator delete[](void* block, size_t) noexcept { std::free(block); }

namespace {

const int noLimit = 1 << 20;

// ---- Writing test PNGs with libpng's full write API ------------------------

struct PngSpec {
    int width = 0;
    int height = 0;
    int colorType = PNG_COLOR_TYPE_RGBA;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<std::vector<uint8_t>> rows;  // packed as the PNG stores them, top row first
    std::vector<png_color> palette;
    std::vector<uint8_t> paletteAlpha;  // tRNS for palette images
    bool hasTransparentColor = false;   // tRNS for grey and RGB images
    png_color_16 transparentColor{};
};

void appendToVector(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}
void flushNothing(png_structp) {}

std::vector<uint8_t> encodePng(const PngSpec& spec) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        ADD_FAILURE() << "libpng could not write the test image";
        return {};
    }
    png_set_write_fn(png, &out, appendToVector, flushNothing);
    png_set_IHDR(png, info, spec.width, spec.height, spec.bitDepth, spec.colorType,
                 spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!spec.palette.empty()) png_set_PLTE(png, info, spec.palette.data(), int(spec.palette.size()));
    if (!spec.paletteAlpha.empty())
        png_set_tRNS(png, info, spec.paletteAlpha.data(), int(spec.paletteAlpha.size()), nullptr);
    if (spec.hasTransparentColor) png_set_tRNS(png, info, nullptr, 0, &spec.transparentColor);
    std::vector<png_bytep> rowPointers;
    for (const auto& row : spec.rows) rowPointers.push_back(const_cast<png_bytep>(row.data()));
    png_set_rows(png, info, rowPointers.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// ---- The reference pictures, 3 x 2, written out by hand ---------------------

struct Pixel {
    uint8_t r, g, b, a;
};
bool operator==(const Pixel& x, const Pixel& y) { return x.r == y.r && x.g == y.g && x.b == y.b && x.a == y.a; }
std::ostream& operator<<(std::ostream& out, const Pixel& p) {
    return out << "(" << int(p.r) << "," << int(p.g) << "," << int(p.b) << "," << int(p.a) << ")";
}

// Top row: red, half-transparent green, transparent blue; bottom row: white,
// a quarter-opaque dark blue-grey, opaque brown.
const Pixel colourPicture[6] = {{255, 0, 0, 255}, {0, 255, 0, 128},  {0, 0, 255, 0},
                                {255, 255, 255, 255}, {10, 20, 30, 64}, {200, 100, 50, 255}};
const uint8_t greyLevels[6] = {0, 128, 255, 17, 34, 200};

std::vector<Pixel> opaque(const Pixel* picture) {
    std::vector<Pixel> result(picture, picture + 6);
    for (Pixel& p : result) p.a = 255;
    return result;
}
std::vector<Pixel> withAlpha(const Pixel* picture) { return std::vector<Pixel>(picture, picture + 6); }
std::vector<Pixel> grey(bool alpha) {
    std::vector<Pixel> result;
    for (int i = 0; i < 6; ++i)
        result.push_back(Pixel{greyLevels[i], greyLevels[i], greyLevels[i], alpha ? colourPicture[i].a : uint8_t(255)});
    return result;
}

// Packs samples per row: `channels(i)` gives pixel i's samples.
template <typename Samples>
std::vector<std::vector<uint8_t>> rowsOf(int bitDepth, Samples channels) {
    std::vector<std::vector<uint8_t>> rows(2);
    for (int i = 0; i < 6; ++i)
        for (int sample : channels(i)) {
            auto& row = rows[i / 3];
            if (bitDepth == 16) {
                row.push_back(uint8_t(sample));  // high byte
                row.push_back(uint8_t(sample));  // low byte: v * 257 reads back as v
            } else {
                row.push_back(uint8_t(sample));
            }
        }
    return rows;
}

PngSpec specFor(int colorType, int bitDepth) {
    PngSpec spec;
    spec.width = 3;
    spec.height = 2;
    spec.colorType = colorType;
    spec.bitDepth = bitDepth;
    return spec;
}

std::vector<Pixel> decodedPixels(const DecodedImage& image) {
    std::vector<Pixel> result;
    const uint8_t* p = image.pixels();
    for (int i = 0; i < image.width() * image.height(); ++i, p += 4) result.push_back(Pixel{p[0], p[1], p[2], p[3]});
    return result;
}

void expectDecodesTo(const std::vector<uint8_t>& file, const std::vector<Pixel>& expected) {
    std::unique_ptr<DecodedImage> image = decodePngMemory(file.data(), file.size(), noLimit);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 3);
    EXPECT_EQ(image->height(), 2);
    EXPECT_EQ(decodedPixels(*image), expected);
}

TEST(PngDecoding, EveryColourTypeGivesTheSameRgbaTopRowFirst) {
    {
        SCOPED_TRACE("RGBA, 8 bits");
        PngSpec spec = specFor(PNG_COLOR_TYPE_RGBA, 8);
        spec.rows = rowsOf(8, [](int i) {
            const Pixel& p = colourPicture[i];
            return std::vector<int>{p.r, p.g, p.b, p.a};
        });
        expectDecodesTo(encodePng(spec), withAlpha(colourPicture));
    }
    {
        SCOPED_TRACE("RGBA, 16 bits");
        PngSpec spec = specFor(PNG_COLOR_TYPE_RGBA, 16);
        spec.rows = rowsOf(16, [](int i) {
            const Pixel& p = colourPicture[i];
            return std::vector<int>{p.r, p.g, p.b, p.a};
        });
        expectDecodesTo(encodePng(spec), withAlpha(colourPicture));
    }
    {
        SCOPED_TRACE("RGBA, 8 bits, interlaced");
        PngSpec spec = specFor(PNG_COLOR_TYPE_RGBA, 8);
        spec.interlaced = true;
        spec.rows = rowsOf(8, [](int i) {
            const Pixel& p = colourPicture[i];
            return std::vector<int>{p.r, p.g, p.b, p.a};
        });
        expectDecodesTo(encodePng(spec), withAlpha(colourPicture));
    }
    {
        SCOPED_TRACE("RGB");
        PngSpec spec = specFor(PNG_COLOR_TYPE_RGB, 8);
        spec.rows = rowsOf(8, [](int i) {
            const Pixel& p = colourPicture[i];
            return std::vector<int>{p.r, p.g, p.b};
        });
        expectDecodesTo(encodePng(spec), opaque(colourPicture));
    }
    {
        SCOPED_TRACE("RGB with a transparent colour");
        PngSpec spec = specFor(PNG_COLOR_TYPE_RGB, 8);
        spec.rows = rowsOf(8, [](int i) {
            const Pixel& p = colourPicture[i];
            return std::vector<int>{p.r, p.g, p.b};
        });
        spec.hasTransparentColor = true;
        spec.transparentColor.red = 10;
        spec.transparentColor.green = 20;
        spec.transparentColor.blue = 30;
        std::vector<Pixel> expected = opaque(colourPicture);
        expected[4].a = 0;  // only the pixel of exactly that colour
        expectDecodesTo(encodePng(spec), expected);
    }
    {
        SCOPED_TRACE("palette");
        PngSpec spec = specFor(PNG_COLOR_TYPE_PALETTE, 8);
        for (const Pixel& p : colourPicture) spec.palette.push_back(png_color{p.r, p.g, p.b});
        spec.rows = {{0, 1, 2}, {3, 4, 5}};
        expectDecodesTo(encodePng(spec), opaque(colourPicture));
    }
    {
        SCOPED_TRACE("palette with tRNS, shorter than the palette");
        PngSpec spec = specFor(PNG_COLOR_TYPE_PALETTE, 8);
        for (const Pixel& p : colourPicture) spec.palette.push_back(png_color{p.r, p.g, p.b});
        // Entries past the end of tRNS are opaque: the last one (brown) is.
        for (int i = 0; i < 5; ++i) spec.paletteAlpha.push_back(colourPicture[i].a);
        spec.rows = {{0, 1, 2}, {3, 4, 5}};
        expectDecodesTo(encodePng(spec), withAlpha(colourPicture));
    }
    {
        SCOPED_TRACE("palette, 4 bits per index");
        PngSpec spec = specFor(PNG_COLOR_TYPE_PALETTE, 4);
        for (const Pixel& p : colourPicture) spec.palette.push_back(png_color{p.r, p.g, p.b});
        spec.rows = {{0x01, 0x20}, {0x34, 0x50}};  // two indices per byte, the high nibble first
        expectDecodesTo(encodePng(spec), opaque(colourPicture));
    }
    {
        SCOPED_TRACE("grey");
        PngSpec spec = specFor(PNG_COLOR_TYPE_GRAY, 8);
        spec.rows = rowsOf(8, [](int i) { return std::vector<int>{greyLevels[i]}; });
        expectDecodesTo(encodePng(spec), grey(false));
    }
    {
        SCOPED_TRACE("grey, 16 bits");
        PngSpec spec = specFor(PNG_COLOR_TYPE_GRAY, 16);
        spec.rows = rowsOf(16, [](int i) { return std::vector<int>{greyLevels[i]}; });
        expectDecodesTo(encodePng(spec), grey(false));
    }
    {
        SCOPED_TRACE("grey with alpha");
        PngSpec spec = specFor(PNG_COLOR_TYPE_GRAY_ALPHA, 8);
        spec.rows = rowsOf(8, [](int i) { return std::vector<int>{greyLevels[i], colourPicture[i].a}; });
        expectDecodesTo(encodePng(spec), grey(true));
    }
}

TEST(PngDecoding, OnePixelAndOneRowImagesWork) {
    PngSpec single = specFor(PNG_COLOR_TYPE_RGBA, 8);
    single.width = 1;
    single.height = 1;
    single.rows = {{9, 8, 7, 6}};
    std::vector<uint8_t> file = encodePng(single);
    std::unique_ptr<DecodedImage> image = decodePngMemory(file.data(), file.size(), 1);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 1);
    EXPECT_EQ(image->height(), 1);
    EXPECT_EQ(decodedPixels(*image), (std::vector<Pixel>{{9, 8, 7, 6}}));
}

TEST(PngDecoding, ReadsFilesFromDisk) {
    PngSpec spec = specFor(PNG_COLOR_TYPE_RGBA, 8);
    spec.rows = rowsOf(8, [](int i) {
        const Pixel& p = colourPicture[i];
        return std::vector<int>{p.r, p.g, p.b, p.a};
    });
    std::vector<uint8_t> bytes = encodePng(spec);
    std::string path = (std::filesystem::temp_directory_path() / "vesk-image-test-disk.png").string();
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(file);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    std::unique_ptr<DecodedImage> image = decodePngFile(path.c_str(), noLimit);
    std::remove(path.c_str());
    ASSERT_TRUE(image);
    EXPECT_EQ(decodedPixels(*image), withAlpha(colourPicture));
}

// ---- Broken input --------------------------------------------------------

std::vector<uint8_t> goodPng() {
    PngSpec spec = specFor(PNG_COLOR_TYPE_RGB, 8);
    spec.rows = rowsOf(8, [](int i) {
        const Pixel& p = colourPicture[i];
        return std::vector<int>{p.r, p.g, p.b};
    });
    return encodePng(spec);
}

uint32_t readBigEndian(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }
void writeBigEndian(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

// Offset of the first chunk of `type` (at its length field), or 0.
size_t findChunk(const std::vector<uint8_t>& file, const char* type) {
    for (size_t at = 8; at + 12 <= file.size();) {
        if (std::memcmp(&file[at + 4], type, 4) == 0) return at;
        at += 12 + readBigEndian(&file[at]);
    }
    return 0;
}

// The CRC-32 of PNG chunks (polynomial 0xEDB88320), bit by bit.
uint32_t crcOf(const uint8_t* data, size_t length) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

// Recomputes a chunk's CRC after its data were changed on purpose.
void fixCrc(std::vector<uint8_t>& file, size_t chunk) {
    uint32_t length = readBigEndian(&file[chunk]);
    writeBigEndian(&file[chunk + 8 + length], crcOf(&file[chunk + 4], 4 + length));
}

// Runs `decode` watching stderr, the last error code and the allocations.
struct QuietCheck {
    template <typename Decode>
    std::unique_ptr<DecodedImage> run(Decode decode) {
        setLastErrorCode(0);
        largestAllocation = 0;
        testing::internal::CaptureStderr();
        watchingAllocations = true;
        std::unique_ptr<DecodedImage> image = decode();
        watchingAllocations = false;
        printed = testing::internal::GetCapturedStderr();
        codeAfter = lastErrorCode();
        largest = largestAllocation;
        return image;
    }
    std::string printed;
    int codeAfter = -1;
    size_t largest = 0;
};

void expectRefusedQuietly(const std::vector<uint8_t>& file, const char* what, int maxDimension = noLimit) {
    SCOPED_TRACE(what);
    QuietCheck check;
    EXPECT_FALSE(check.run([&] { return decodePngMemory(file.data(), file.size(), maxDimension); }));
    EXPECT_EQ(check.printed, "");
    EXPECT_EQ(check.codeAfter, 0);
    EXPECT_LT(check.largest, size_t(1) << 20);
}

TEST(PngDecoding, BrokenFilesGiveNoImageQuietly) {
    const std::vector<uint8_t> good = goodPng();
    ASSERT_TRUE(decodePngMemory(good.data(), good.size(), noLimit));
    const size_t idat = findChunk(good, "IDAT");
    const size_t iend = findChunk(good, "IEND");
    ASSERT_GT(idat, 0u);
    ASSERT_GT(iend, idat);

    // Every cut that loses image data or the header; a file that lacks only
    // its closing IEND chunk is still a whole picture.
    for (size_t length = 0; length < iend; ++length) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + long(length));
        expectRefusedQuietly(cut, ("truncated to " + std::to_string(length) + " bytes").c_str());
    }

    std::vector<uint8_t> flipped = good;
    flipped[idat + 8 + 3] ^= 0xFF;  // inside the compressed data; CRC now wrong
    expectRefusedQuietly(flipped, "flipped byte in IDAT");

    std::vector<uint8_t> badCrc = good;
    badCrc[iend - 1] ^= 0x01;  // the IDAT's own CRC, the four bytes before IEND
    expectRefusedQuietly(badCrc, "bad IDAT CRC");

    std::vector<uint8_t> badHeaderCrc = good;
    badHeaderCrc[8 + 8 + 13] ^= 0x01;
    expectRefusedQuietly(badHeaderCrc, "bad IHDR CRC");

    std::vector<uint8_t> badZlib = good;
    badZlib[idat + 8] = 0x00;  // not a valid zlib method byte; CRC made right
    fixCrc(badZlib, idat);
    expectRefusedQuietly(badZlib, "IDAT that is not a zlib stream");

    std::vector<uint8_t> badSignature = good;
    badSignature[1] = 'Q';
    expectRefusedQuietly(badSignature, "wrong signature");

    const char text[] = "this is a text file, not a picture\n";
    expectRefusedQuietly(std::vector<uint8_t>(text, text + sizeof text - 1), "not a PNG");
    expectRefusedQuietly({}, "empty");
}

TEST(PngDecoding, MissingOrUnreadablePathsGiveNoImageQuietly) {
    const std::string missing = (std::filesystem::temp_directory_path() / "vesk-no-such-dir/none.png").string();
    const std::string folder = std::filesystem::temp_directory_path().string();
    for (const char* path : {missing.c_str(), folder.c_str(), "", static_cast<const char*>(nullptr)}) {
        SCOPED_TRACE(path ? std::string("path \"") + path + "\"" : std::string("null path"));
        QuietCheck check;
        EXPECT_FALSE(check.run([&] { return decodePngFile(path, noLimit); }));
        EXPECT_EQ(check.printed, "");
        EXPECT_EQ(check.codeAfter, 0);
    }
}

TEST(PngDecoding, DamagedAncillaryChunkIsSkippedWithoutPrinting) {
    std::vector<uint8_t> file = goodPng();
    // A tEXt chunk with a wrong CRC before IEND: libpng discards it with a
    // warning, which must stay inside libpng.
    const size_t iend = findChunk(file, "IEND");
    const uint8_t chunk[] = {0, 0, 0, 3, 't', 'E', 'X', 't', 'a', 0, 'b', 0xDE, 0xAD, 0xBE, 0xEF};
    file.insert(file.begin() + long(iend), chunk, chunk + sizeof chunk);
    QuietCheck check;
    std::unique_ptr<DecodedImage> image = check.run([&] { return decodePngMemory(file.data(), file.size(), noLimit); });
    ASSERT_TRUE(image);
    EXPECT_EQ(decodedPixels(*image), opaque(colourPicture));
    EXPECT_EQ(check.printed, "");
    EXPECT_EQ(check.codeAfter, 0);
}

// A signature and an IHDR chunk claiming width x height RGBA pixels, then a
// few bytes of an IDAT that stops short: the header alone decides.
std::vector<uint8_t> headerClaiming(uint32_t width, uint32_t height) {
    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr = {0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 0, 0, 0, 0, 0, 0, 8, 6, 0, 0, 0, 0, 0, 0, 0};
    writeBigEndian(&ihdr[8], width);
    writeBigEndian(&ihdr[12], height);
    file.insert(file.end(), ihdr.begin(), ihdr.end());
    fixCrc(file, 8);
    const uint8_t idatStart[] = {0, 0, 0x10, 0, 'I', 'D', 'A', 'T', 0x78, 0x9C};
    file.insert(file.end(), idatStart, idatStart + sizeof idatStart);
    return file;
}

TEST(PngDecoding, OversizedHeadersAreRefusedBeforeAllocating) {
    expectRefusedQuietly(headerClaiming(60000, 60000), "60000 x 60000, no size limit", noLimit);
    expectRefusedQuietly(headerClaiming(60000, 60000), "60000 x 60000, 16384 limit", 16384);
    // One row more than 256 MiB of pixels.
    expectRefusedQuietly(headerClaiming(8192, 8193), "8192 x 8193", noLimit);
    expectRefusedQuietly(headerClaiming(8193, 8192), "8193 x 8192", noLimit);
    // width * height * 4 would not even fit in 64 bits.
    expectRefusedQuietly(headerClaiming(0x7FFFFFFF, 0x7FFFFFFF), "the largest dimensions a PNG can state", 0x7FFFFFFF);
}

TEST(PngDecoding, ExactlyTheByteLimitIsAllowed) {
    // 8192 x 8192 x 4 is 256 MiB exactly: past the guard, the buffer is made
    // and the cut-off data then fail the decode.
    QuietCheck check;
    const std::vector<uint8_t> file = headerClaiming(8192, 8192);
    EXPECT_FALSE(check.run([&] { return decodePngMemory(file.data(), file.size(), noLimit); }));
    EXPECT_EQ(check.largest, maxImageBytes);
    EXPECT_EQ(check.printed, "");
}

TEST(PngDecoding, DimensionLimitIsInclusive) {
    auto stripe = [](int width, int height) {
        PngSpec spec = specFor(PNG_COLOR_TYPE_GRAY, 8);
        spec.width = width;
        spec.height = height;
        spec.rows.assign(size_t(height), std::vector<uint8_t>(size_t(width), 77));
        return encodePng(spec);
    };
    const std::vector<uint8_t> atLimit = stripe(8, 8), tooWide = stripe(9, 1), tooHigh = stripe(1, 9);
    std::unique_ptr<DecodedImage> image = decodePngMemory(atLimit.data(), atLimit.size(), 8);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 8);
    EXPECT_EQ(image->pixels()[4 * 63 + 0], 77);
    EXPECT_EQ(image->pixels()[4 * 63 + 3], 255);
    expectRefusedQuietly(tooWide, "9 wide, limit 8", 8);
    expectRefusedQuietly(tooHigh, "9 high, limit 8", 8);
}

}  // namespace
