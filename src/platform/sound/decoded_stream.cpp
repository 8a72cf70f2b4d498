#include "platform/sound/decoded_stream.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {
// Frames per read: small enough that a stop request is seen quickly and the
// reader sees progress often.
constexpr int64_t readFrames = 4096;
// How long the decoder thread sleeps when the ring is full: a small part of
// the head, so that a replay finds the ring refilled before the head ends.
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

}  // namespace

std::unique_ptr<DecodedStream> DecodedStream::open(const void* data, size_t length, Reading reading) {
    if (!data || length == 0) return nullptr;
    std::unique_ptr<DecodedStream> stream(new DecodedStream(data, length));
    SF_INFO info;
    stream->sound = stream->file.open(info);
    if (!stream->sound) return nullptr;
    if (info.samplerate != sampleRate || info.channels < 1 || info.channels > 2 || info.frames > maxFrames) {
        return nullptr;
    }
    stream->channelCount = info.channels;
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    size_t bytes = 0;
    const int16_t* samples = info.format == (SF_FORMAT_WAV | SF_FORMAT_PCM_16)
                                 ? wavSamples(static_cast<const unsigned char*>(data), length, bytes)
                                 : nullptr;
    // Where the data chunk holds fewer frames than the decoder reads (its
    // size lies), the decoder decides, as for every other file.
    if (samples && int64_t(bytes / sizeof(int16_t)) / info.channels >= info.frames) {
        stream->headSamples = samples;
        stream->headCount = info.frames;
        if (stream->headCount == 0) return nullptr;
        stream->length.store(stream->headCount, std::memory_order_relaxed);
        sf_close(stream->sound);
        stream->sound = nullptr;
        return stream;
    }
#endif
    // The claimed length only sizes the head: a short claim that was false
    // makes the stream a streamed one. One frame more than claimed, so that
    // a true claim ends in a short read.
    const int64_t headSize = info.frames <= ringFrames ? std::max<int64_t>(info.frames, 0) + 1 : headFrames;
    stream->head.reset(new int16_t[static_cast<size_t>(headSize * stream->channelCount)]);
    stream->headSamples = stream->head.get();
    const bool more = stream->decodeHead(headSize);
    if (stream->headCount == 0) return nullptr;
    if (!more) {
        stream->length.store(stream->headCount, std::memory_order_relaxed);
        sf_close(stream->sound);
        stream->sound = nullptr;
        return stream;
    }
    stream->ring.reset(new int16_t[static_cast<size_t>(ringFrames * stream->channelCount)]);
    stream->decoded = stream->headCount;
    stream->publish();
    if (reading == Reading::Thread) stream->decoder = std::thread(&DecodedStream::run, stream.get());
    return stream;
}

DecodedStream::~DecodedStream() {
    stopRequested.store(true, std::memory_order_relaxed);
    if (decoder.joinable()) decoder.join();
    if (sound) sf_close(sound);
}

bool DecodedStream::decodeHead(int64_t frames) {
    while (headCount < frames) {
        const int64_t wanted = std::min(readFrames, frames - headCount);
        const sf_count_t got = sf_readf_short(sound, head.get() + headCount * channelCount, wanted);
        if (got <= 0) return false;
        headCount += got;
    }
    return true;
}

bool DecodedStream::fill(int64_t upTo) {
    const uint32_t wanted = rewinds.load(std::memory_order_acquire);
    if (wanted != epoch) {
        epoch = wanted;
        decoded = headCount;
        atEnd = !restart();
        publish();
    }
    if (atEnd) return false;
    // The frame `ringFrames` on shares its slot with the reader's frame.
    const int64_t room = std::max(released.load(std::memory_order_acquire), headCount) + ringFrames;
    const int64_t limit = std::min({upTo, room, maxFrames});
    const int64_t start = decoded;
    while (decoded < limit && !stopRequested.load(std::memory_order_relaxed)) {
        const int64_t slot = (decoded - headCount) % ringFrames;
        const int64_t count = std::min({readFrames, limit - decoded, ringFrames - slot});
        const sf_count_t got = sf_readf_short(sound, ring.get() + slot * channelCount, count);
        if (got <= 0) {
            atEnd = true;
            break;
        }
        decoded += got;
        publish();
    }
    if (decoded >= maxFrames) atEnd = true;
    if (atEnd && length.load(std::memory_order_relaxed) < 0) length.store(decoded, std::memory_order_release);
    return decoded > start;
}

bool DecodedStream::restart() {
    // Seeking an MP3 restarts its decoder cold, which changes the first
    // frames after the seek; decoding again from the start is exact. The
    // ring is scratch here: the reader reads none of it until published.
    if (sound) sf_close(sound);
    SF_INFO info;
    sound = file.open(info);
    if (!sound) return false;
    for (int64_t skipped = 0; skipped < headCount;) {
        const sf_count_t got = sf_readf_short(sound, ring.get(), std::min(readFrames, headCount - skipped));
        if (got <= 0) return false;
        skipped += got;
    }
    return true;
}

void DecodedStream::run() {
    while (!stopRequested.load(std::memory_order_relaxed)) {
        if (!fill(maxFrames)) std::this_thread::sleep_for(idleSleep);
    }
}

DecodedStream::Ready DecodedStream::take(int64_t position, int64_t upTo) {
    if (!ring) return Ready{headCount, true};
    released.store(position, std::memory_order_release);
    if (!decoder.joinable()) fill(upTo);
    // Until the decoder has followed the last rewind, only the head is the
    // reader's.
    const uint64_t published = state.load(std::memory_order_acquire);
    const int64_t end = uint32_t(published >> 32) == rewinds.load(std::memory_order_relaxed)
                            ? int64_t(published & 0xffffffffu)
                            : headCount;
    const int64_t frames = length.load(std::memory_order_acquire);
    return Ready{end, frames >= 0 && end >= frames};
}

void DecodedStream::rewind() {
    if (!ring) return;
    // A ring not yet lapped still holds what follows the head.
    if (released.load(std::memory_order_relaxed) > headCount) {
        rewinds.store(rewinds.load(std::memory_order_relaxed) + 1, std::memory_order_release);
    }
    released.store(0, std::memory_order_release);
}

const int16_t* DecodedStream::framesAt(int64_t frame, int64_t& contiguous) const {
    if (frame < headCount) {
        contiguous = headCount - frame;
        return headSamples + frame * channelCount;
    }
    const int64_t slot = (frame - headCount) % ringFrames;
    contiguous = ringFrames - slot;
    return ring.get() + slot * channelCount;
}
