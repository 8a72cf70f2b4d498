// The browser's decoded stream (platform/sound/decoded_stream.h), decoded
// by the browser's own decoder (decodeAudioData). Opening waits for the
// whole decode (the program is suspended meanwhile), or takes what the page
// decoded ahead from the same bytes (decode.js); the stream is complete once
// open returns. The browser resamples what it decodes to 44100 Hz, so
// streams of another rate are accepted here.
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

// Whole from the start: every frame is readable and nothing is released.
class BrowserStream final : public DecodedStream {
public:
    BrowserStream(int16_t* samples, int64_t frames, int channels)
        : samples(samples), frameCount(frames), channelCount(channels) {}
    ~BrowserStream() override { std::free(samples); }

    int channels() const override { return channelCount; }
    bool streamed() const override { return false; }
    Ready take(int64_t, int64_t) override { return Ready{frameCount, true}; }
    const int16_t* framesAt(int64_t frame, int64_t& contiguous) const override {
        contiguous = frameCount - frame;
        return samples + frame * channelCount;
    }

private:
    int16_t* samples;  // malloc'ed by browserDecodeSound, frameCount * channelCount
    int64_t frameCount;
    int channelCount;
};

}  // namespace

std::unique_ptr<DecodedStream> DecodedStream::open(const void* data, size_t length, Reading) {
    if (!data || length == 0) return nullptr;
    double frames = 0;
    int channels = 0;
    int16_t* samples = browserDecodeSound(data, length, static_cast<double>(maxFrames), &frames, &channels);
    if (!samples) return nullptr;
    return std::make_unique<BrowserStream>(samples, static_cast<int64_t>(frames), channels);
}
