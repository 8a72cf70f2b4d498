// libFuzzer target: PNG decoding from memory. Whatever the bytes, the
// decoder gives no image or an image within the limit whose every pixel can
// be read; AddressSanitizer catches reads and writes out of bounds.
//
// libpng itself is not instrumented, so the fuzzer cannot see its way past
// the chunk checksums; every chunk's CRC is set right before decoding, so
// that mutated chunks reach the parser instead of failing their checksum.
#include "platform/image.h"

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

// The size limit the show passes is the GL's texture limit; a smaller one
// here keeps each input's pixel buffer small (at most 64 MiB).
const int maxDimension = 4096;
// After the 8-byte signature, each chunk: length (big-endian), type, data,
// CRC over type and data.
static void repairChecksums(std::vector<uint8_t>& png) {
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const size_t length = size_t{png[at]} << 24 | size_t{png[at + 1]} << 16 | size_t{png[at + 2]} << 8 | png[at + 3];
        if (length > png.size() - at - 12) return;
        const uLong crc = crc32(0, &png[at + 4], static_cast<uInt>(length + 4));
        for (int i = 0; i < 4; ++i) png[at + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
        at += 12 + length;
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> png(data, data + size);
    repairChecksums(png);
    std::unique_ptr<DecodedImage> image = decodePngMemory(png.data(), png.size(), maxDimension);
    if (!image) return 0;
    if (image->width() < 1 || image->height() < 1 || image->width() > maxDimension ||
        image->height() > maxDimension)
        std::abort();
    // Reads every byte, so that a buffer shorter than promised is caught.
    const size_t bytes = static_cast<size_t>(image->width()) * static_cast<size_t>(image->height()) * 4;
    unsigned sum = 0;
    for (size_t i = 0; i < bytes; ++i) sum += image->pixels()[i];
    volatile unsigned keep = sum;
    (void)keep;
    return 0;
}
