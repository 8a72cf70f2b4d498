// PNG decoding by the browser (decode.js), which gives the file's own
// 8-bit RGBA values. The file is checked to be a PNG first, as the browser
// would also take other formats.
#include "platform/image.h"

#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Decodes `size` bytes at `data`; a malloc'ed block of width * height * 4
// bytes, top row first, or null. Waits for the browser (ASYNCIFY).
EM_ASYNC_JS(uint8_t*, browserDecodeImage, (const void* data, size_t size, int* width, int* height), {
    const picture = await Module['webDecode']('Picture', HEAPU8.subarray(data, data + size));
    if (!picture) return 0;
    const out = _malloc(picture.pixels.length);
    if (!out) return 0;
    HEAPU8.set(picture.pixels, out);
    HEAP32[width >> 2] = picture.width;
    HEAP32[height >> 2] = picture.height;
    return out;
});

bool isPng(const void* data, size_t size) {
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    return size > sizeof signature && std::memcmp(data, signature, sizeof signature) == 0;
}

}  // namespace

DecodedImage::DecodedImage(int width, int height, std::vector<uint8_t> pixels)
    : width_(width), height_(height), pixels_(std::move(pixels)) {}

std::unique_ptr<DecodedImage> decodePngMemory(const void* data, size_t size, int maxDimension) {
    if (!data || !isPng(data, size)) return nullptr;
    int width = 0, height = 0;
    uint8_t* pixels = browserDecodeImage(data, size, &width, &height);
    if (!pixels) return nullptr;
    std::unique_ptr<DecodedImage> image;
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    if (width >= 1 && height >= 1 && width <= maxDimension && height <= maxDimension && bytes <= maxImageBytes) {
        image.reset(new DecodedImage(width, height, std::vector<uint8_t>(pixels, pixels + bytes)));
    }
    std::free(pixels);
    return image;
}

std::unique_ptr<DecodedImage> decodePngFile(const char* path, int maxDimension) {
    if (!path) return nullptr;
    FILE* file = std::fopen(path, "rb");
    if (!file) return nullptr;
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return nullptr;
    return decodePngMemory(bytes.data(), bytes.size(), maxDimension);
}
