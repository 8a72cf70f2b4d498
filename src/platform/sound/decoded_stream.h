// 16-bit PCM decoded from a WAV or MP3 file held in memory, read once from
// its first frame to its last by one reader (the mixing thread).
//
// Three ways to hold it, chosen at open:
// - a 16-bit PCM WAV file is read where its samples lie in the file;
// - a file that claims at most ringFrames is decoded whole at open;
// - a longer one is decoded into a ring of ringFrames just ahead of its
//   reader (streamed). Open decodes its first openFrames on the calling
//   thread; then, with Reading::Thread, a decoder thread of the stream's own
//   fills the ring, and the reader never waits for it: frames not decoded
//   yet are not readable. With Reading::Pulled the reader decodes, in take,
//   exactly the frames it is about to read, so a reader at any speed gets
//   the same samples.
// A stream is read once: to play a streamed stream again, open its bytes
// again.
//
// Only 44100 Hz streams with one or two channels are accepted: nothing is
// resampled. A stream holds at most maxFrames (10 minutes); a file that
// claims more is refused, and decoding stops there if the claim was false.
//
// Threads: open and the destructor on the main thread; take and framesAt on
// the reader's.
#pragma once

#include "platform/sound/memory_file.h"
#include "platform/sound/spsc_ring.h"

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
    // What open decodes of a streamed stream, so that it plays at once.
    static constexpr int64_t openFrames = sampleRate / 2;

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
    // Whether the stream is decoded into a ring as it is read.
    bool streamed() const { return ring != nullptr; }

    struct Ready {
        int64_t end;  // frames [position, end) are readable; none when end <= position
        bool ended;   // end is the stream's last frame + 1
    };
    // The reader is at `position` (never less than before) and wants frames
    // up to `upTo` (at most ringFrames on): frames before `position` may be
    // overwritten from now on. A pulled stream decodes up to `upTo` here.
    Ready take(int64_t position, int64_t upTo);

    // The samples of `frame` onwards, for a frame that take made readable,
    // and in `contiguous` how many frames follow in memory (at least 1; the
    // caller bounds it by take's end).
    const int16_t* framesAt(int64_t frame, int64_t& contiguous) const;

private:
    struct CloseSound {
        void operator()(SNDFILE* sound) const { sf_close(sound); }
    };

    DecodedStream(const void* data, size_t length) : file(data, length) {}
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
