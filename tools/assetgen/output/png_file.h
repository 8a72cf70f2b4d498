// Writes 8-bit straight-alpha RGBA pixels to a PNG file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// `rgba` holds width * height * 4 bytes, top row first. Opaque images are
// written without their alpha channel. Returns false if the file could
// not be written.
bool writePngFile(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba);
