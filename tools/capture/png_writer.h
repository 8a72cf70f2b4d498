// Writes 8-bit RGB pictures as PNG files through libpng.
#pragma once

#include <cstdint>
#include <string>

// `rgb`: `height` rows of `width` * 3 bytes, top row first. Returns false
// with a one-line reason in `error` when the file cannot be written.
bool writePng(const char* path, const uint8_t* rgb, int width, int height, std::string& error);
