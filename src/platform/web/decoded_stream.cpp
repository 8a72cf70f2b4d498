#include "platform/sound/decoded_stream.h"

#include <emscripten.h>

#include <cstdlib>

namespace {

// Decodes `size` bytes at `data` with the browser's decoder, resampled to
// 44100 Hz, into a malloc'ed block of interleaved 16-bit samples; null on
// failure. `frames` and `channels` receive the shape. An offline context
// decodes at the rate it is made with, whatever the output's rate.
EM_ASYNC_JS(int16_t*, browserDecodeSound, (const void* data, size_t size, int rate, double maxFrames, double* frames, int* channels), {
    try {
        const bytes = HEAPU8.slice(data, data + size).buffer;
        const decoder = new OfflineAudioContext(1, 1, rate);
        const sound = await new Promise((resolve, reject) => decoder.decodeAudioData(bytes, resolve, reject));
        const count = sound.numberOfChannels;
        const length = sound.length;
        if (count < 1 || count > 2 || length < 1 || length > maxFrames) return 0;
        const out = _malloc(length * count * 2);
        if (!out) return 0;
        const sides = [];
        for (let c = 0; c < count; ++c) sides.push(sound.getChannelData(c));
        // The heap may have been replaced while we waited: look it up now.
        const pcm = HEAP16.subarray(out >> 1, (out >> 1) + length * count);
        for (let i = 0; i < length; ++i) {
            for (let c = 0; c < count; ++c) {
                const v = Math.round(sides[c][i] * 32768);
                pcm[i * count + c] = v > 32767 ? 32767 : (v < -32768 ? -32768 : v);
            }
        }
        HEAPF64[frames >> 3] = length;
        HEAP32[channels >> 2] = count;
        return out;
    } catch (e) {
        return 0;
    }
});

}  // namespace

std::unique_ptr<DecodedStream> DecodedStream::open(const void* data, size_t length, Reading) {
    if (!data || length == 0) return nullptr;
    double frames = 0;
    int channels = 0;
    int16_t* samples = browserDecodeSound(data, length, sampleRate, static_cast<double>(maxFrames), &frames, &channels);
    if (!samples) return nullptr;
    return std::unique_ptr<DecodedStream>(new DecodedStream(samples, static_cast<int64_t>(frames), channels));
}

DecodedStream::~DecodedStream() { std::free(samples); }
