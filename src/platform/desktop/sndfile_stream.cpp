#include "platform/desktop/sndfile_stream.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {
// Frames per read: small enough that a stop request is seen quickly and the
// reader sees progress often.
constexpr int64_t readFrames = 4096;
// How long the decoder thread sleeps when the ring is full: a small part of
// the ring, so that it is never far from full.
constexpr auto idleSleep = std::chrono::milliseconds(20);

// The samples of a RIFF WAV file where they lie in its bytes, and in
// `bytes` how many of them the file holds; null when there is no data chunk
// or it is not aligned for 16-bit reads.
const int16_t* wavSamples(const unsigned char* data, size_t length, size_t& bytes) {
    if (length < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) return nullptr;
    for (size_t at = 12; length - at >= 8;) {
        const uint32_t size = data[at + 4] | data[at + 5] << 8 | data[at + 6] << 16 | uint32_t{data[at + 7]} << 24;
        if (std::memcmp(data + at, "data", 4) == 0) {
            bytes = std::min<size_t>(size, length - at - 8);
            const unsigned char* samples = data + at + 8;
            if (reinterpret_cast<uintptr_t>(samples) % alignof(int16_t) != 0) return nullptr;
            return reinterpret_cast<const int16_t*>(samples);
        }
        const size_t step = 8 + size_t{size} + (size & 1);  // chunks are padded to even sizes
        if (step > length - at) return nullptr;
        at += step;
    }
    return nullptr;
}

// Decodes up to `frames` frames into `into`; how many it got.
int64_t decode(SNDFILE* sound, int16_t* into, int64_t frames, int channels) {
    int64_t got = 0;
    while (got < frames) {
        const sf_count_t read = sf_readf_short(sound, into + got * channels, std::min(readFrames, frames - got));
        if (read <= 0) break;
        got += read;
    }
    return got;
}

}  // namespace

std::unique_ptr<DecodedStream> DecodedStream::open(const void* data, size_t length, Reading reading) {
    if (!data || length == 0) return nullptr;
    std::unique_ptr<SndfileStream> stream(new SndfileStream(data, length));
    SF_INFO info;
    stream->sound.reset(stream->file.open(info));
    if (!stream->sound || info.samplerate != sampleRate || info.channels < 1 || info.channels > 2 ||
        info.frames > maxFrames) {
        return nullptr;
    }
    stream->channelCount = info.channels;
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    size_t bytes = 0;
    const int16_t* inPlace = info.format == (SF_FORMAT_WAV | SF_FORMAT_PCM_16)
                                 ? wavSamples(static_cast<const unsigned char*>(data), length, bytes)
                                 : nullptr;
    // Where the data chunk holds fewer frames than the decoder reads (its
    // size lies), the decoder decides, as for every other file.
    if (inPlace && int64_t(bytes / sizeof(int16_t)) / info.channels >= info.frames) {
        stream->sound.reset();
        stream->samples = inPlace;
        stream->frameCount = info.frames;
        return stream->frameCount > 0 ? std::move(stream) : nullptr;
    }
#endif
    if (info.frames <= SndfileStream::ringFrames) {
        // One frame more than claimed, so that a true claim ends in a short
        // read; a false one is streamed from the start instead.
        const int64_t room = std::max<int64_t>(info.frames, 0) + 1;
        stream->whole.reset(new int16_t[static_cast<size_t>(room * stream->channelCount)]);
        const int64_t got = decode(stream->sound.get(), stream->whole.get(), room, stream->channelCount);
        if (got < room) {
            stream->sound.reset();
            stream->samples = stream->whole.get();
            stream->frameCount = got;
            return got > 0 ? std::move(stream) : nullptr;
        }
        stream->whole.reset();
        stream->sound.reset(stream->file.open(info));
        if (!stream->sound) return nullptr;
    }
    stream->ring.reset(new SpscRing<int16_t>(SndfileStream::ringFrames, stream->channelCount));
    stream->fill(SndfileStream::openFrames);
    if (stream->ring->written() == 0) return nullptr;
    if (reading == Reading::Thread) stream->decoder = std::thread(&SndfileStream::run, stream.get());
    return stream;
}

SndfileStream::~SndfileStream() {
    stopRequested.store(true, std::memory_order_relaxed);
    if (decoder.joinable()) decoder.join();
}

bool SndfileStream::fill(int64_t upTo) {
    const int64_t start = ring->written();
    const int64_t limit = std::min(upTo, maxFrames);
    int64_t decoded = start;
    while (decoded < limit && length.load(std::memory_order_relaxed) < 0 &&
           !stopRequested.load(std::memory_order_relaxed)) {
        int64_t count = 0;
        int16_t* into = ring->writable(count);
        count = std::min({count, readFrames, limit - decoded});
        if (count == 0) break;
        const sf_count_t got = sf_readf_short(sound.get(), into, count);
        if (got <= 0) {
            length.store(decoded, std::memory_order_release);
            break;
        }
        ring->commit(got);
        decoded += got;
    }
    if (decoded >= maxFrames) length.store(decoded, std::memory_order_release);
    return decoded > start;
}

void SndfileStream::run() {
    while (!stopRequested.load(std::memory_order_relaxed) && length.load(std::memory_order_relaxed) < 0) {
        if (!fill(maxFrames)) std::this_thread::sleep_for(idleSleep);
    }
}

DecodedStream::Ready SndfileStream::take(int64_t position, int64_t upTo) {
    if (!ring) return Ready{frameCount, true};
    ring->release(position);
    if (!decoder.joinable()) fill(upTo);
    const int64_t end = ring->written();
    const int64_t frames = length.load(std::memory_order_acquire);
    return Ready{end, frames >= 0 && end >= frames};
}

const int16_t* SndfileStream::framesAt(int64_t frame, int64_t& contiguous) const {
    if (ring) return ring->at(frame, contiguous);
    contiguous = frameCount - frame;
    return samples + frame * channelCount;
}
