#include "png_writer.h"

#include <png.h>

#include <cstring>

bool writePng(const char* path, const uint8_t* rgb, int width, int height, std::string& error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    // Faster zlib settings: a frame sequence is large and short-lived.
    image.flags = PNG_IMAGE_FLAG_FAST;
    // The rows are already top-down, so the stride is positive: the
    // simplified writer of the 1.6 series read past the buffer with
    // negative strides.
    const png_int_32 stride = width * 3;
    if (!png_image_write_to_file(&image, path, 0, rgb, stride, nullptr)) {
        error = std::string("cannot write ") + path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}
