// PNG decoding for textures: every PNG colour type (palette, grey, grey with
// alpha, RGB, RGBA, 8 or 16 bits, with or without tRNS) becomes 8-bit RGBA,
// not premultiplied, rows one after another with no gap, the picture's top
// row first. 16-bit samples are reduced to 8 bits as they stand (taken as
// sRGB, like 8-bit ones); a gAMA chunk other than sRGB's is converted to sRGB.
//
// Any failure (missing or unreadable file, not a regular file, not a PNG,
// truncated or corrupt data, an image too large) gives no image. The layer prints nothing and
// does not set the last error code (platform/last_error.h). Safe to call
// from any thread; no state is shared between calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class DecodedImage {
public:
    DecodedImage(int width, int height, std::vector<uint8_t> pixels);
    int width() const { return width_; }    // pixels, at least 1
    int height() const { return height_; }  // pixels, at least 1
    // width * height * 4 bytes (R, G, B, A), top row first.
    const uint8_t* pixels() const { return pixels_.data(); }

private:
    int width_;
    int height_;
    std::vector<uint8_t> pixels_;
};

// The largest pixel buffer we accept (256 MiB), so that a small file with a
// lying header cannot make us allocate gigabytes. Checked on the header,
// before the buffer is allocated; a buffer of exactly this size is allowed.
const size_t maxImageBytes = 256u << 20;

// Decodes the PNG file at `path`. An image wider or higher than
// `maxDimension` pixels (a texture's size limit) gives no image; so does a
// null path.
std::unique_ptr<DecodedImage> decodePngFile(const char* path, int maxDimension);
// The same for `size` bytes of PNG data in memory (not kept after the call).
std::unique_ptr<DecodedImage> decodePngMemory(const void* data, size_t size, int maxDimension);
