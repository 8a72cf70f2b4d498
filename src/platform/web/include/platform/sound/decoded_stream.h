// 16-bit PCM decoded from a WAV or MP3 file held in memory, by the
// browser's own decoder (decodeAudioData), under the desktop's name and
// interface so that the mixer and the sound library stay the same.
//
// Opening waits for the whole decode (the program is suspended meanwhile,
// see sound_device.h), or takes what the page decoded ahead from the same
// bytes (decode.js); the stream is complete once open returns. The
// browser resamples what it decodes to 44100 Hz, so streams of another
// rate are accepted here. At most two channels, at most maxFrames.
//
// Threads: there is one, the page's main thread.
#pragma once

#include "platform/sound/mix_rate.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class DecodedStream {
public:
    static constexpr int sampleRate = mixRate;
    static constexpr int64_t maxFrames = int64_t{10} * 60 * sampleRate;
    enum class Reading { Thread, Pulled };

    // Null when the browser cannot decode the data, or it has more than two
    // channels, more than maxFrames or no frame at all. `reading` is
    // ignored: everything is decoded before returning.
    static std::unique_ptr<DecodedStream> open(const void* data, size_t length, Reading reading = Reading::Thread);

    ~DecodedStream();
    DecodedStream(const DecodedStream&) = delete;
    DecodedStream& operator=(const DecodedStream&) = delete;

    int channels() const { return channelCount; }
    bool streamed() const { return false; }
    struct Ready {
        int64_t end;
        bool ended;
    };
    // Whole from the start: every frame is readable, nothing is released.
    Ready take(int64_t, int64_t) const { return Ready{frameCount, true}; }
    void rewind() {}
    // The samples of `frame` onwards; `contiguous` is the rest of the stream.
    const int16_t* framesAt(int64_t frame, int64_t& contiguous) const {
        contiguous = frameCount - frame;
        return samples + frame * channelCount;
    }

private:
    DecodedStream(int16_t* samples, int64_t frames, int channels)
        : samples(samples), frameCount(frames), channelCount(channels) {}

    int16_t* samples;  // malloc'ed by the decoder, frameCount * channelCount
    int64_t frameCount;
    int channelCount;
};
