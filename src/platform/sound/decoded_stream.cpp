#include "platform/sound/decoded_stream.h"

#include <algorithm>

namespace {
// Frames per read: small enough that a stop request is seen quickly and the
// mixer sees progress often.
constexpr int64_t readFrames = 4096;
}  // namespace

std::unique_ptr<DecodedStream> DecodedStream::open(const void* data, size_t length, int64_t firstChunkFrames) {
    if (!data || length == 0) return nullptr;
    std::unique_ptr<DecodedStream> stream(new DecodedStream(data, length, 0));
    SF_INFO info;
    stream->sound = stream->file.open(info);
    if (!stream->sound) return nullptr;
    // The claimed frame count decides only whether to refuse; storage grows
    // with what is really decoded.
    if (info.samplerate != sampleRate || info.channels < 1 || info.channels > 2 || info.frames > maxFrames) {
        stream->finish();
        return nullptr;
    }
    stream->channelCount = info.channels;
    stream->blocks.resize(static_cast<size_t>((maxFrames + blockFrames - 1) / blockFrames));

    bool more = stream->decode(firstChunkFrames == 0 ? 1 : firstChunkFrames);
    if (stream->decoded == 0) {
        stream->finish();
        return nullptr;
    }
    if (more) {
        stream->decoder = std::thread(&DecodedStream::decodeRest, stream.get());
    } else {
        stream->finish();
    }
    return stream;
}

DecodedStream::DecodedStream(const void* data, size_t length, int channels)
    : file(data, length), channelCount(channels) {}

DecodedStream::~DecodedStream() {
    stopRequested.store(true, std::memory_order_relaxed);
    if (decoder.joinable()) {
        decoder.join();
    } else if (sound) {
        finish();
    }
}

bool DecodedStream::decode(int64_t frames) {
    int64_t target = frames < 0 ? maxFrames : std::min(maxFrames, decoded + frames);
    while (decoded < target) {
        if (stopRequested.load(std::memory_order_relaxed)) return false;
        size_t block = static_cast<size_t>(decoded / blockFrames);
        int64_t offset = decoded % blockFrames;
        if (!blocks[block]) blocks[block].reset(new int16_t[static_cast<size_t>(blockFrames * channelCount)]);
        int64_t wanted = std::min({readFrames, blockFrames - offset, target - decoded});
        sf_count_t got = sf_readf_short(sound, blocks[block].get() + offset * channelCount, wanted);
        if (got <= 0) return false;
        decoded += got;
        published.store(decoded, std::memory_order_release);
    }
    return decoded < maxFrames;
}

void DecodedStream::decodeRest() {
    decode(-1);
    finish();
}

void DecodedStream::finish() {
    if (sound) sf_close(sound);
    sound = nullptr;
    done.store(true, std::memory_order_release);
}

const int16_t* DecodedStream::framesAt(int64_t frame, int64_t& contiguous) const {
    int64_t offset = frame % blockFrames;
    contiguous = blockFrames - offset;
    return blocks[static_cast<size_t>(frame / blockFrames)].get() + offset * channelCount;
}
