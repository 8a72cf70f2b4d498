#include "support/png_test_files.h"

#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace vesk_test {

namespace {

// Removed with everything in it when the test process ends.
struct TemporaryFolder {
    TemporaryFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vesk-tests-XXXXXX").string();
        if (mkdtemp(pattern.data())) path = pattern;
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

uint32_t bigEndian(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

void append(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

}  // namespace

std::string testFilePath(const std::string& name) {
    static TemporaryFolder folder;
    EXPECT_FALSE(folder.path.empty()) << "could not create a temporary folder";
    return folder.path + "/" + name;
}

std::string writeBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string path = testFilePath(name);
    FILE* file = std::fopen(path.c_str(), "wb");
    bool written = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file && std::fclose(file) != 0) written = false;
    if (written) return path;
    ADD_FAILURE() << "writing " << path << " failed";
    return "";
}

std::vector<uint8_t> encodePng(const PngSpec& spec) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_color> palette;
    for (size_t i = 0; i + 2 < spec.palette.size(); i += 3)
        palette.push_back(png_color{spec.palette[i], spec.palette[i + 1], spec.palette[i + 2]});
    png_color_16 transparent{};
    const std::vector<int>& key = spec.transparentColor;
    if (key.size() == 1) transparent.gray = png_uint_16(key[0]);
    if (key.size() == 3) transparent = png_color_16{0, png_uint_16(key[0]), png_uint_16(key[1]), png_uint_16(key[2]), 0};
    std::vector<png_bytep> rows;
    for (const auto& row : spec.rows) rows.push_back(const_cast<png_bytep>(row.data()));
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        ADD_FAILURE() << "libpng could not write the test picture";
        return {};
    }
    png_set_write_fn(png, &out, append, nullptr);
    png_set_IHDR(png, info, png_uint_32(spec.width), png_uint_32(spec.height), spec.bitDepth, spec.colorType,
                 spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), int(palette.size()));
    if (!spec.paletteAlpha.empty())
        png_set_tRNS(png, info, spec.paletteAlpha.data(), int(spec.paletteAlpha.size()), nullptr);
    if (!key.empty()) png_set_tRNS(png, info, nullptr, 0, &transparent);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::string writeRgbaPng(const std::string& name, int width, int height, const std::vector<Rgba>& pixels) {
    if (size_t(width) * size_t(height) != pixels.size()) {
        ADD_FAILURE() << name << ": " << pixels.size() << " pixels given for " << width << " x " << height;
        return "";
    }
    PngSpec spec;
    spec.width = width;
    spec.height = height;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = &pixels[size_t(y) * size_t(width)].r;
        spec.rows.emplace_back(row, row + 4 * width);
    }
    return writeBytes(name, encodePng(spec));
}

size_t findPngChunk(const std::vector<uint8_t>& png, const char* type) {
    for (size_t at = 8; at + 12 <= png.size(); at += 12 + bigEndian(&png[at]))
        if (std::memcmp(&png[at + 4], type, 4) == 0) return at;
    return 0;
}

void fixPngChunkCrc(std::vector<uint8_t>& png, size_t chunk) {
    const uint32_t length = bigEndian(&png[chunk]);
    const uLong crc = crc32(0, &png[chunk + 4], uInt(4 + length));
    for (int i = 0; i < 4; ++i) png[chunk + 8 + length + size_t(i)] = uint8_t(crc >> (24 - 8 * i));
}

std::vector<Rgba> quadrantPicture(int size, Rgba topLeft, Rgba topRight, Rgba bottomLeft, Rgba bottomRight) {
    std::vector<Rgba> pixels;
    for (int row = 0; row < size; ++row)
        for (int column = 0; column < size; ++column) {
            const bool top = row < size / 2, left = column < size / 2;
            pixels.push_back(top ? (left ? topLeft : topRight) : (left ? bottomLeft : bottomRight));
        }
    return pixels;
}

}  // namespace vesk_test
