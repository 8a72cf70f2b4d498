#include "platform/sound/decoded_stream.h"

#include <emscripten.h>

#include <cstdlib>

namespace {

// Decodes `size` bytes at `data` (decode.js), into a malloc'ed block of
// interleaved 16-bit samples at 44100 Hz; null on failure. `frames` and
// `channels` receive the shape. Waits for the browser (ASYNCIFY).
EM_ASYNC_JS(int16_t*, browserDecodeSound, (const void* data, size_t size, double maxFrames, double* frames, int* channels), {
    const sound = await Module['webDecode']('Sound', HEAPU8.subarray(data, data + size));
    if (!sound || sound.frames > maxFrames) return 0;
    const out = _malloc(sound.pcm.length * 2);
    if (!out) return 0;
    // The heap may have been replaced while we waited: look it up now.
    HEAP16.set(sound.pcm, out >> 1);
    HEAPF64[frames >> 3] = sound.frames;
    HEAP32[channels >> 2] = sound.channels;
    return out;
});

}  // namespace

std::unique_ptr<DecodedStream> DecodedStream::open(const void* data, size_t length, Reading) {
    if (!data || length == 0) return nullptr;
    double frames = 0;
    int channels = 0;
    int16_t* samples = browserDecodeSound(data, length, static_cast<double>(maxFrames), &frames, &channels);
    if (!samples) return nullptr;
    return std::unique_ptr<DecodedStream>(new DecodedStream(samples, static_cast<int64_t>(frames), channels));
}

DecodedStream::~DecodedStream() { std::free(samples); }
