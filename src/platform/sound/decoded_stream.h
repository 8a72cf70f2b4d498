// 16-bit PCM at the mix rate, decoded from a WAV or MP3 file held in memory
// and read once, from its first frame to its last, by one reader (the
// mixing thread). The desktop decodes with libsndfile
// (platform/desktop/sndfile_stream.h), the browser with its own decoder
// (platform/web/browser_stream.cpp); open is the platform's.
//
// Threads: open and the destructor on the main thread; take and framesAt on
// the reader's.
#pragma once

#include "platform/sound/mix_rate.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class DecodedStream {
public:
    static constexpr int sampleRate = mixRate;
    // 10 minutes: a file that claims more is refused.
    static constexpr int64_t maxFrames = int64_t{10} * 60 * sampleRate;

    // Thread: a decoder thread of the stream's own keeps ahead of the
    // reader, which never waits for it. Pulled: the reader decodes in take
    // exactly what it is about to read, so a reader at any speed gets the
    // same samples. A platform that decodes whole at open ignores it.
    enum class Reading { Thread, Pulled };

    // Null when the data cannot be decoded, has more than two channels,
    // claims more than maxFrames or holds no frame at all. `data` must stay
    // alive, unchanged, as long as the stream does.
    static std::unique_ptr<DecodedStream> open(const void* data, size_t length, Reading reading = Reading::Thread);

    virtual ~DecodedStream() = default;
    DecodedStream(const DecodedStream&) = delete;
    DecodedStream& operator=(const DecodedStream&) = delete;

    // 1 (mono) or 2 (interleaved left, right).
    virtual int channels() const = 0;
    // Whether the stream is decoded as it is read (so a second play needs a
    // second decode).
    virtual bool streamed() const = 0;

    struct Ready {
        int64_t end;  // frames [position, end) are readable; none when end <= position
        bool ended;   // end is the stream's last frame + 1
    };
    // The reader is at `position` (never less than before) and wants frames
    // up to `upTo`: frames before `position` may be released from now on.
    virtual Ready take(int64_t position, int64_t upTo) = 0;

    // The samples of `frame` onwards, for a frame that take made readable,
    // and in `contiguous` how many frames follow in memory (at least 1; the
    // caller bounds it by take's end).
    virtual const int16_t* framesAt(int64_t frame, int64_t& contiguous) const = 0;

protected:
    DecodedStream() = default;
};
