#include "support/png_test_files.h"

#include <png.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace vesk_test {

namespace {

uint32_t bigEndian(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

void append(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

}  // namespace

std::string testFilePath(const std::string& name) {
    // Removed with everything in it when the test process ends.
    static struct Folder {
        std::string path = (std::filesystem::temp_directory_path() / "vesk-tests-XXXXXX").string();
        const bool made = mkdtemp(path.data()) != nullptr;
        ~Folder() { std::error_code ignored; if (made) std::filesystem::remove_all(path, ignored); }
    } folder;
    EXPECT_TRUE(folder.made) << "could not create a temporary folder";
    return folder.path + "/" + name;
}

std::string fileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::string writeBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string path = testFilePath(name);
    std::ofstream file(path, std::ios::binary);
    if (file.write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size())).flush()) return path;
    ADD_FAILURE() << "writing " << path << " failed";
    return "";
}

std::vector<uint8_t> encodePng(const PngSpec& spec) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows;
    for (const auto& row : spec.rows) rows.push_back(const_cast<png_bytep>(row.data()));
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        ADD_FAILURE() << "libpng could not write the test picture";
        return {};
    }
    png_set_write_fn(png, &out, append, nullptr);
    png_set_IHDR(png, info, png_uint_32(spec.width), png_uint_32(spec.height), spec.bitDepth, spec.colorType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::string writeRgbaPng(const std::string& name, int width, int height, const std::vector<Rgba>& pixels) {
    PngSpec spec{width, height, PNG_COLOR_TYPE_RGBA, 8, {}};
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = &pixels[size_t(y) * size_t(width)].r;
        spec.rows.emplace_back(row, row + 4 * width);
    }
    return writeBytes(name, encodePng(spec));
}

void fixPngChunkCrc(std::vector<uint8_t>& png, size_t chunk) {
    const uint32_t length = bigEndian(&png[chunk]);
    const uLong crc = crc32(0, &png[chunk + 4], uInt(4 + length));
    for (int i = 0; i < 4; ++i) png[chunk + 8 + length + size_t(i)] = uint8_t(crc >> (24 - 8 * i));
}

}  // namespace vesk_test
