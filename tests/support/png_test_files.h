// Small files for tests that load images: one temporary folder per test
// process, removed when the process ends, and helpers that write PNG files
// into it with libpng's simplified write API.
#pragma once

#include "support/rgba.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vesk_test {

// The path of `name` in this process's temporary folder (created on first
// use). Names are the caller's; a second file of the same name replaces the
// first.
std::string testFilePath(const std::string& name);

// Writes a width x height 8-bit RGBA PNG, `pixels` top row first, and
// returns its path. Adds a test failure and returns "" if writing fails.
std::string writeRgbaPng(const std::string& name, int width, int height, const std::vector<Rgba>& pixels);

// Writes `bytes` as they are (broken files, hand-made headers).
std::string writeBytes(const std::string& name, const std::vector<uint8_t>& bytes);

// A size x size picture (size even) whose four quadrants have one colour
// each, top row first: the orientation of anything drawn with it can be read
// from any quadrant.
std::vector<Rgba> quadrantPicture(int size, Rgba topLeft, Rgba topRight, Rgba bottomLeft, Rgba bottomRight);

}  // namespace vesk_test
