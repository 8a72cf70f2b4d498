// PNG decoding for textures: every PNG colour type becomes 8-bit RGBA,
// rows one after another with no gap, the picture's top row first.
//
// Any failure (missing or unreadable file, not a PNG, truncated or corrupt
// data, an image too large) gives no image. The layer prints nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class DecodedImage {
public:
    DecodedImage(int width, int height, std::vector<uint8_t> pixels);
    int width() const { return width_; }
    int height() const { return height_; }
    // width * height * 4 bytes, top row first.
    const uint8_t* pixels() const { return pixels_.data(); }

private:
    int width_;
    int height_;
    std::vector<uint8_t> pixels_;
};

// The largest pixel buffer we accept, so that a small file with a lying
// header cannot make us allocate gigabytes.
const size_t maxImageBytes = 256u << 20;

// Decodes the PNG file at `path`. Images wider or higher than
// `maxDimension` pixels give no image.
std::unique_ptr<DecodedImage> decodePngFile(const char* path, int maxDimension);
// The same for a PNG held in memory.
std::unique_ptr<DecodedImage> decodePngMemory(const void* data, size_t size, int maxDimension);
