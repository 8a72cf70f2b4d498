#include "platform/image.h"

#include "platform/regular_file.h"

#include <png.h>

#include <cstring>

DecodedImage::DecodedImage(int width, int height, std::vector<uint8_t> pixels)
    : width_(width), height_(height), pixels_(std::move(pixels)) {}

namespace {

// Checked on the header alone, before the pixel buffer exists: a small file
// that claims a huge picture is refused without a big allocation.
bool withinLimits(png_uint_32 width, png_uint_32 height, int maxDimension) {
    if (width == 0 || height == 0 || maxDimension <= 0) return false;
    const png_uint_32 limit = static_cast<png_uint_32>(maxDimension);
    if (width > limit || height > limit) return false;
    // Divided rather than multiplied, so that no product can overflow.
    return height <= maxImageBytes / 4 / width;
}

// libpng's simplified read of one image, its state freed on every way out.
// libpng frees it itself when a call fails and when finish_read returns, and
// png_image_free is harmless on freed state.
struct PngRead {
    PngRead() {
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
    }
    ~PngRead() { png_image_free(&image); }
    PngRead(const PngRead&) = delete;
    PngRead& operator=(const PngRead&) = delete;

    png_image image;
};

// Finishes a read begun on `image`. libpng's simplified API keeps its
// messages in image.message and prints nothing. errno is left as libpng
// leaves it and the last error code is not touched: a failure here is
// reported by the caller's own box.
std::unique_ptr<DecodedImage> finishRead(png_image& image, int maxDimension) {
    if (PNG_IMAGE_FAILED(image) || !withinLimits(image.width, image.height, maxDimension)) return nullptr;
    image.format = PNG_FORMAT_RGBA;
    // Without this, 16-bit samples are taken as linear light and re-encoded
    // with the sRGB curve; picture files mean them as sRGB like 8-bit ones.
    image.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
    const size_t rowBytes = static_cast<size_t>(image.width) * 4;
    std::vector<uint8_t> pixels(rowBytes * image.height);
    // A positive stride (in components, one byte each here) puts the top
    // row first.
    if (!png_image_finish_read(&image, nullptr, pixels.data(), static_cast<png_int_32>(rowBytes), nullptr)) {
        return nullptr;
    }
    return std::unique_ptr<DecodedImage>(new DecodedImage(int(image.width), int(image.height), std::move(pixels)));
}

}  // namespace

std::unique_ptr<DecodedImage> decodePngFile(const char* path, int maxDimension) {
    // libpng reads from the stream but leaves it open: `file` closes it,
    // after `read` has gone.
    const FileStream file = openRegularFile(path);
    if (!file) return nullptr;
    PngRead read;
    png_image_begin_read_from_stdio(&read.image, file.get());
    return finishRead(read.image, maxDimension);
}

std::unique_ptr<DecodedImage> decodePngMemory(const void* data, size_t size, int maxDimension) {
    if (!data || size == 0) return nullptr;
    PngRead read;
    png_image_begin_read_from_memory(&read.image, data, size);
    return finishRead(read.image, maxDimension);
}
