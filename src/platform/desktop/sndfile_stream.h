// The desktop's decoded stream (platform/sound/decoded_stream.h): decoded
// by libsndfile, held one of three ways, chosen at open:
// - a 16-bit PCM WAV file is read where its samples lie in the file;
// - a file that claims at most ringFrames is decoded whole at open;
// - a longer one is decoded into a ring of ringFrames just ahead of its
//   reader (streamed). Open decodes its first openFrames on the calling
//   thread; then, with Reading::Thread, a decoder thread of the stream's own
//   fills the ring, and frames not decoded yet are not readable. With
//   Reading::Pulled the reader decodes them in take.
// Only 44100 Hz streams are accepted: nothing is resampled. Decoding stops
// at maxFrames if a file's claim of its length was false.
#pragma once

#include "platform/desktop/memory_file.h"
#include "platform/sound/decoded_stream.h"
#include "platform/sound/spsc_ring.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

class SndfileStream final : public DecodedStream {
public:
    // 2 s: far more than the decoder thread ever falls behind.
    static constexpr int64_t ringFrames = 2 * sampleRate;
    // What open decodes of a streamed stream, so that it plays at once.
    static constexpr int64_t openFrames = sampleRate / 2;

    // Stops and joins the decoder thread, if there is one.
    ~SndfileStream() override;

    int channels() const override { return channelCount; }
    bool streamed() const override { return ring != nullptr; }
    // A pulled stream decodes up to `upTo` (at most ringFrames on) here.
    Ready take(int64_t position, int64_t upTo) override;
    const int16_t* framesAt(int64_t frame, int64_t& contiguous) const override;

private:
    friend std::unique_ptr<DecodedStream> DecodedStream::open(const void*, size_t, Reading);
    struct CloseSound {
        void operator()(SNDFILE* sound) const { sf_close(sound); }
    };

    SndfileStream(const void* data, size_t length) : file(data, length) {}
    // Decodes into the ring up to `upTo`, as far as the reader allows.
    // Whether it made progress.
    bool fill(int64_t upTo);
    void run();

    MemoryFile file;
    std::unique_ptr<SNDFILE, CloseSound> sound;  // the decoder's; null when the stream is whole
    int channelCount = 0;
    // A whole stream: its frames, in `whole` or in the file's bytes.
    const int16_t* samples = nullptr;
    int64_t frameCount = 0;
    std::unique_ptr<int16_t[]> whole;
    // A streamed stream: frame f in slot f.
    std::unique_ptr<SpscRing<int16_t>> ring;
    std::atomic<int64_t> length{-1};  // frames in the stream, once known
    std::atomic<bool> stopRequested{false};
    std::thread decoder;
};
