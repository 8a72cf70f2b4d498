// Images decoded ahead, on a thread of their own, while the window and the
// GL start up: FileTexture2D::load takes its image from here instead of
// decoding it then. What was not asked for, or did not decode, load decodes
// itself, so that its failures are reported from load, in the show's order.
#pragma once

#include "platform/image.h"

#include <memory>
#include <string>
#include <vector>

// The size limit of a decode ahead, above any GL's texture limit here;
// load applies the GL's own.
constexpr int prefetchMaxDimension = 16384;

// Starts decoding the PNG files at `paths`, in that order. Only the first
// call counts.
void prefetchImages(std::vector<std::string> paths);
// The image of `path` decoded ahead, waiting for it if it is under way;
// null when it was not asked for, did not decode, or was taken already.
std::unique_ptr<DecodedImage> takePrefetchedImage(const std::string& path);
