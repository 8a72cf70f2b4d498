// PNG decoding by the browser: createImageBitmap, unpremultiplied and with
// no colour conversion, then uploaded to a scratch WebGL texture and read
// back, which gives the file's own 8-bit RGBA values (a 2-D canvas would
// premultiply them and lose precision where alpha is low). The file is
// checked to be a PNG first, as the browser would also take other formats.
#include "platform/image.h"

#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Decodes `size` bytes at `data`; a malloc'ed block of width * height * 4
// bytes, top row first, or null. Waits for the browser (ASYNCIFY).
EM_ASYNC_JS(uint8_t*, browserDecodeImage, (const void* data, size_t size, int* width, int* height), {
    try {
        const blob = new Blob([HEAPU8.slice(data, data + size)], {type: 'image/png'});
        const bitmap = await createImageBitmap(blob, {premultiplyAlpha: 'none', colorSpaceConversion: 'none'});
        const w = bitmap.width, h = bitmap.height;
        if (!Module['webImageGl']) {
            Module['webImageGl'] = document.createElement('canvas').getContext('webgl', {premultipliedAlpha: false});
        }
        const gl = Module['webImageGl'];
        const texture = gl.createTexture();
        gl.bindTexture(gl.TEXTURE_2D, texture);
        gl.pixelStorei(gl.UNPACK_PREMULTIPLY_ALPHA_WEBGL, false);
        gl.pixelStorei(gl.UNPACK_COLORSPACE_CONVERSION_WEBGL, gl.NONE);
        gl.pixelStorei(gl.UNPACK_FLIP_Y_WEBGL, false);
        gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, gl.RGBA, gl.UNSIGNED_BYTE, bitmap);
        bitmap.close();
        const framebuffer = gl.createFramebuffer();
        gl.bindFramebuffer(gl.FRAMEBUFFER, framebuffer);
        gl.framebufferTexture2D(gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.TEXTURE_2D, texture, 0);
        let out = 0;
        if (gl.checkFramebufferStatus(gl.FRAMEBUFFER) === gl.FRAMEBUFFER_COMPLETE) out = _malloc(w * h * 4);
        // Row 0 of the texture is the picture's top row, and readPixels
        // starts at row 0: the rows come out top first.
        if (out) gl.readPixels(0, 0, w, h, gl.RGBA, gl.UNSIGNED_BYTE, HEAPU8.subarray(out, out + w * h * 4));
        gl.bindFramebuffer(gl.FRAMEBUFFER, null);
        gl.deleteFramebuffer(framebuffer);
        gl.deleteTexture(texture);
        if (gl.getError() !== gl.NO_ERROR && out) {
            _free(out);
            out = 0;
        }
        HEAP32[width >> 2] = w;
        HEAP32[height >> 2] = h;
        return out;
    } catch (e) {
        return 0;
    }
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
