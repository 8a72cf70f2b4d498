#include "platform/image.h"

#include <png.h>

#include <cstring>

DecodedImage::DecodedImage(int width, int height, std::vector<uint8_t> pixels)
    : width_(width), height_(height), pixels_(std::move(pixels)) {}

namespace {

// Finishes a read begun on `image`; frees libpng's state on every path.
std::unique_ptr<DecodedImage> finishRead(png_image& image, int maxDimension) {
    if (PNG_IMAGE_FAILED(image)) {
        png_image_free(&image);
        return nullptr;
    }
    if (image.width == 0 || image.height == 0 || image.width > static_cast<png_uint_32>(maxDimension) ||
        image.height > static_cast<png_uint_32>(maxDimension)) {
        png_image_free(&image);
        return nullptr;
    }
    image.format = PNG_FORMAT_RGBA;
    size_t bytes = static_cast<size_t>(image.width) * image.height * 4;
    if (bytes > maxImageBytes) {
        png_image_free(&image);
        return nullptr;
    }
    std::vector<uint8_t> pixels(bytes);
    // A positive stride means the top row first.
    if (!png_image_finish_read(&image, nullptr, pixels.data(), static_cast<png_int_32>(image.width * 4), nullptr)) {
        png_image_free(&image);
        return nullptr;
    }
    return std::unique_ptr<DecodedImage>(new DecodedImage(int(image.width), int(image.height), std::move(pixels)));
}

}  // namespace

std::unique_ptr<DecodedImage> decodePngFile(const char* path, int maxDimension) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    png_image_begin_read_from_file(&image, path);
    return finishRead(image, maxDimension);
}

std::unique_ptr<DecodedImage> decodePngMemory(const void* data, size_t size, int maxDimension) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    png_image_begin_read_from_memory(&image, data, size);
    return finishRead(image, maxDimension);
}
