// Files for tests that load images: one temporary folder per test process,
// removed when the process ends, and the one PNG writer of the tests
// (libpng's full writer, so any colour type, depth and chunk can be made).
#pragma once

#include "support/rgba.h"

#include <string>
#include <vector>

namespace vesk_test {

// The path of `name` in this process's temporary folder (created on first
// use). A second file of the same name replaces the first.
std::string testFilePath(const std::string& name);

// The whole file at `path`; "" when unreadable.
std::string fileBytes(const std::string& path);

// Writes `bytes` as they are and returns the path; "" and a test failure
// when writing fails.
std::string writeBytes(const std::string& name, const std::vector<uint8_t>& bytes);

// What encodePng writes; colour types and depths as in png.h.
struct PngSpec {
    int width = 0;
    int height = 0;
    int colorType = 6;  // PNG_COLOR_TYPE_RGBA
    int bitDepth = 8;
    std::vector<std::vector<uint8_t>> rows;  // packed as the file stores them, top row first
};
// The PNG file's bytes; empty and a test failure when libpng refuses.
std::vector<uint8_t> encodePng(const PngSpec& spec);

// A width x height 8-bit RGBA PNG of `pixels` (top row first), written to
// the test folder; returns its path.
std::string writeRgbaPng(const std::string& name, int width, int height, const std::vector<Rgba>& pixels);

// The CRC of the chunk at `chunk` (its length field) made right again after
// its bytes were changed on purpose.
void fixPngChunkCrc(std::vector<uint8_t>& png, size_t chunk);

}  // namespace vesk_test
