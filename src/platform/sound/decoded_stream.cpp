#include "platform/sound/decoded_stream.h"

#include <algorithm>
#include <chrono>

namespace {
// Frames per read: small enough that a stop request is seen quickly and the
// reader sees progress often.
constexpr int64_t readFrames = 4096;
// How long the decoder thread sleeps when the ring is full: a small part of
// the head, so that a replay finds the ring refilled before the head ends.
constexpr auto idleSleep = std::chrono::milliseconds(20);
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
    // The claimed length only sizes the head: a short claim that was false
    // makes the stream a streamed one. One frame more than claimed, so that
    // a true claim ends in a short read.
    const int64_t headSize = info.frames <= ringFrames ? std::max<int64_t>(info.frames, 0) + 1 : headFrames;
    stream->head.reset(new int16_t[static_cast<size_t>(headSize * stream->channelCount)]);
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
        return head.get() + frame * channelCount;
    }
    const int64_t slot = (frame - headCount) % ringFrames;
    contiguous = ringFrames - slot;
    return ring.get() + slot * channelCount;
}
