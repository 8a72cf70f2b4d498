// 16-bit PCM decoded from a WAV or MP3 file held in memory.
//
// Opening decodes the header and a head of the stream on the calling
// thread. A 16-bit PCM WAV file needs no decoding: its samples are read
// where they lie in the file's bytes. A stream that fits its head (claims at
// most ringFrames) is then decoded whole and stays so. A longer one keeps
// only a short head resident, so that playing it again starts at once, and
// decodes the rest into a ring
// of ringFrames just ahead of its reader, while the file's bytes stay where
// the caller holds them:
// - Reading::Thread: a decoder thread of the stream's own fills the ring.
//   The reader never waits for it: frames not decoded yet are not readable.
// - Reading::Pulled: the reader decodes on its own thread, in take, exactly
//   the frames it is about to read, so a reader at any speed gets the same.
//
// A streamed stream has one reader at a time: take says where it is, and
// the ring overwrites only frames before that; rewind starts it over.
//
// Only 44100 Hz streams with one or two channels are accepted: nothing is
// resampled. A stream holds at most maxFrames (10 minutes); a file that
// claims more is refused, and decoding stops there if the claim was false.
//
// Threads: open and the destructor on the main thread; the rest on the
// reader's thread (the mixing thread).
#pragma once

#include "platform/sound/memory_file.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

class DecodedStream {
public:
    static constexpr int sampleRate = 44100;
    static constexpr int64_t maxFrames = int64_t{10} * 60 * sampleRate;
    // 2 s: far more than the decoder thread ever falls behind.
    static constexpr int64_t ringFrames = 2 * sampleRate;
    // Resident start of a streamed stream, decoded at open: what a replay
    // plays while the decoder goes back to where the ring starts.
    static constexpr int64_t headFrames = sampleRate / 2;

    enum class Reading { Thread, Pulled };

    // Null when the data cannot be decoded, has another rate or more than
    // two channels, claims more than maxFrames, or holds no frame at all.
    // `data` must stay alive, unchanged, as long as the stream does.
    static std::unique_ptr<DecodedStream> open(const void* data, size_t length, Reading reading = Reading::Thread);

    // Stops and joins the decoder thread, if there is one.
    ~DecodedStream();
    DecodedStream(const DecodedStream&) = delete;
    DecodedStream& operator=(const DecodedStream&) = delete;

    // 1 (mono) or 2 (interleaved left, right).
    int channels() const { return channelCount; }
    // Whether the stream is longer than its resident part.
    bool streamed() const { return ring != nullptr; }

    struct Ready {
        int64_t end;  // frames [position, end) are readable; none when end <= position
        bool ended;   // end is the stream's last frame + 1
    };
    // The reader is at `position` and wants frames up to `upTo` (at most
    // ringFrames on): frames before `position` may be overwritten from now
    // on. A pulled stream decodes up to `upTo` here.
    Ready take(int64_t position, int64_t upTo);
    // The reader starts over at frame 0.
    void rewind();

    // The samples of `frame` onwards, for a frame that take made readable,
    // and in `contiguous` how many frames follow in memory (at least 1; the
    // caller bounds it by take's end).
    const int16_t* framesAt(int64_t frame, int64_t& contiguous) const;

private:
    DecodedStream(const void* data, size_t length) : file(data, length) {}
    // Decodes into the head; false at the end of the stream.
    bool decodeHead(int64_t frames);
    // Decodes into the ring up to `upTo`, as far as the reader allows, going
    // back to the ring's start first if the reader rewound. Whether it made
    // progress.
    bool fill(int64_t upTo);
    // Opens the decoder again and decodes past the head.
    bool restart();
    void publish() { state.store(uint64_t{epoch} << 32 | uint64_t(decoded), std::memory_order_release); }
    void run();

    MemoryFile file;
    SNDFILE* sound = nullptr;  // the decoder's; null once no more is to be decoded
    int channelCount = 0;
    int64_t headCount = 0;  // frames in the head
    const int16_t* headSamples = nullptr;  // in `head`, or in the file's bytes
    std::unique_ptr<int16_t[]> head;
    std::unique_ptr<int16_t[]> ring;  // ringFrames, frame f at (f - headCount) % ringFrames

    // The decoder's.
    int64_t decoded = 0;  // the next frame to decode
    uint32_t epoch = 0;   // the rewinds it has followed
    bool atEnd = false;
    // Published by the decoder: its epoch (high half) and decoded (low half).
    std::atomic<uint64_t> state{0};
    std::atomic<int64_t> length{-1};  // frames in the stream, once known
    // Published by the reader.
    std::atomic<int64_t> released{0};  // frames before this may be overwritten
    std::atomic<uint32_t> rewinds{0};
    std::atomic<bool> stopRequested{false};
    std::thread decoder;
};
