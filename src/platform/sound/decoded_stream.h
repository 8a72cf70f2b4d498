// 16-bit PCM decoded from a WAV or MP3 file held in memory.
//
// Opening decodes the header and a first chunk on the calling thread; if
// frames remain, a decoder thread of the stream's own decodes the rest
// while the stream is already playable. The mixing thread reads only the
// frames the decoder has published (release/acquire), so it never waits.
//
// Only 44100 Hz streams with one or two channels are accepted: nothing is
// resampled. A stream holds at most maxFrames (10 minutes); a file that
// claims more is refused, and decoding stops there if the claim was false.
//
// Threads: open and the destructor on the main thread; readyFrames,
// finished and framesAt on any thread (the mixing thread).
#pragma once

#include "platform/sound/memory_file.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

class DecodedStream {
public:
    static constexpr int sampleRate = 44100;
    static constexpr int64_t maxFrames = int64_t{10} * 60 * sampleRate;
    // Frames decoded at open time before the decoder thread takes over.
    static constexpr int64_t defaultFirstChunkFrames = 4 * sampleRate;

    // Null when the data cannot be decoded, has another rate or more than
    // two channels, claims more than maxFrames, or holds no frame at all.
    // `data` must stay alive, unchanged, as long as the stream does.
    // `firstChunkFrames` < 0 decodes everything before returning; 0 counts
    // as 1, since a stream must show at least one frame to be accepted.
    static std::unique_ptr<DecodedStream> open(const void* data, size_t length,
                                               int64_t firstChunkFrames = defaultFirstChunkFrames);

    // Stops and joins the decoder thread, if it still runs.
    ~DecodedStream();
    DecodedStream(const DecodedStream&) = delete;
    DecodedStream& operator=(const DecodedStream&) = delete;

    // 1 (mono) or 2 (interleaved left, right).
    int channels() const { return channelCount; }

    // Whether decoding has ended. Once true, readyFrames() read after it is
    // the stream's length in frames.
    bool finished() const { return done.load(std::memory_order_acquire); }
    // Frames decoded and readable so far; never decreases.
    int64_t readyFrames() const { return published.load(std::memory_order_acquire); }

    // The samples of `frame` onwards, for `frame` < readyFrames(), and in
    // `contiguous` how many frames follow in memory (at least 1; the caller
    // bounds it by readyFrames()).
    const int16_t* framesAt(int64_t frame, int64_t& contiguous) const;

private:
    static constexpr int64_t blockFrames = 65536;

    DecodedStream(const void* data, size_t length, int channels);
    // Decodes up to `frames` more frames (-1: to the end); false once the
    // end, an error or maxFrames has been reached.
    bool decode(int64_t frames);
    void decodeRest();
    void finish();

    MemoryFile file;
    SNDFILE* sound = nullptr;  // the decoder's, until decoding ends
    int channelCount;
    // Fixed before decoding starts and never resized: the decoder fills a
    // block before publishing any frame in it, the mixer reads only
    // published frames.
    std::vector<std::unique_ptr<int16_t[]>> blocks;
    int64_t decoded = 0;  // the decoder's count; published after each read
    std::atomic<int64_t> published{0};
    std::atomic<bool> done{false};
    std::atomic<bool> stopRequested{false};
    std::thread decoder;
};
