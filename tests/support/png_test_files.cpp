#include "support/png_test_files.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace vesk_test {

namespace {

// Removes the folder and everything in it when the test process ends.
class TemporaryFolder {
public:
    TemporaryFolder() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/vesk-tests-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data())) path = buffer.data();
    }
    ~TemporaryFolder() {
        if (path.empty()) return;
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string path;  // empty if the folder could not be made
};

TemporaryFolder& folder() {
    static TemporaryFolder instance;
    return instance;
}

}  // namespace

std::string testFilePath(const std::string& name) {
    EXPECT_FALSE(folder().path.empty()) << "could not create a temporary folder";
    return folder().path + "/" + name;
}

std::string writeRgbaPng(const std::string& name, int width, int height, const std::vector<Rgba>& pixels) {
    if (static_cast<size_t>(width) * static_cast<size_t>(height) != pixels.size()) {
        ADD_FAILURE() << name << ": " << pixels.size() << " pixels given for " << width << " x " << height;
        return "";
    }
    std::string path = testFilePath(name);
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    static_assert(sizeof(Rgba) == 4, "Rgba must be four packed bytes");
    // Positive stride: the first row in memory is the picture's top row.
    if (!png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), width * 4, nullptr)) {
        ADD_FAILURE() << "writing " << path << " failed: " << image.message;
        return "";
    }
    return path;
}

std::string writeBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string path = testFilePath(name);
    FILE* file = std::fopen(path.c_str(), "wb");
    bool written = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file && std::fclose(file) != 0) written = false;
    if (!written) {
        ADD_FAILURE() << "writing " << path << " failed";
        return "";
    }
    return path;
}

std::vector<Rgba> quadrantPicture(int size, Rgba topLeft, Rgba topRight, Rgba bottomLeft, Rgba bottomRight) {
    std::vector<Rgba> pixels;
    pixels.reserve(static_cast<size_t>(size) * size);
    const int half = size / 2;
    for (int row = 0; row < size; ++row)
        for (int column = 0; column < size; ++column) {
            const bool top = row < half, left = column < half;
            pixels.push_back(top ? (left ? topLeft : topRight) : (left ? bottomLeft : bottomRight));
        }
    return pixels;
}

}  // namespace vesk_test
