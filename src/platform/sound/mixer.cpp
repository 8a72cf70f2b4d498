#include "platform/sound/mixer.h"

#include "platform/sound/sound_stream.h"

#include <algorithm>

Mixer::Mixer(int channelCount)
    : channels(static_cast<size_t>(std::clamp(channelCount, 1, maxChannels))),
      sum(2 * stepFrames) {
    passages.reserve(channels.size());
}

bool Mixer::play(int channel, FSOUND_STREAM* stream) {
    if (!stream || !valid(channel)) return false;
    std::lock_guard<std::mutex> guard(lock);
    channels[static_cast<size_t>(channel)].stream = stream;
    channels[static_cast<size_t>(channel)].position = 0;
    return true;
}

bool Mixer::setMute(int channel, bool mute) {
    if (!valid(channel)) return false;
    std::lock_guard<std::mutex> guard(lock);
    channels[static_cast<size_t>(channel)].muted = mute;
    return true;
}

void Mixer::stopAll() {
    std::lock_guard<std::mutex> guard(lock);
    for (Channel& channel : channels) {
        channel.stream = nullptr;
        channel.position = 0;
    }
}

bool Mixer::isPlaying(int channel) const {
    if (!valid(channel)) return false;
    std::lock_guard<std::mutex> guard(lock);
    return channels[static_cast<size_t>(channel)].stream != nullptr;
}

int64_t Mixer::position(int channel) const {
    if (!valid(channel)) return 0;
    std::lock_guard<std::mutex> guard(lock);
    return channels[static_cast<size_t>(channel)].position;
}

void Mixer::mix(int16_t* out, int frames) {
    while (frames > 0) {
        int step = std::min(frames, stepFrames);
        {
            std::lock_guard<std::mutex> guard(lock);
            mixStep(step);
        }
        for (int i = 0; i < 2 * step; ++i) {
            out[i] = static_cast<int16_t>(std::clamp<int32_t>(sum[static_cast<size_t>(i)], INT16_MIN, INT16_MAX));
        }
        // No lock is held here: a callback may call Play or SetMute.
        for (const Passage& passage : passages) {
            SyncPoints::Passed passed = passage.stream->syncPoints.passedIn(passage.from, passage.to);
            for (int i = 0; i < passed.count; ++i) passed.callback(passage.stream, nullptr, 0, passed.userData);
        }
        out += 2 * step;
        frames -= step;
    }
}

void Mixer::mixStep(int frames) {
    std::fill(sum.begin(), sum.begin() + 2 * frames, 0);
    passages.clear();
    for (Channel& channel : channels) {
        if (!channel.stream) continue;
        const DecodedStream& pcm = *channel.stream->pcm;
        // Read `finished` first: once it is true, the ready count is final.
        bool ended = pcm.finished();
        int64_t ready = pcm.readyFrames();
        int64_t from = channel.position;
        int64_t to = from + frames;
        if (ended) to = std::min(to, ready);
        if (to > from) {
            passages.push_back(Passage{channel.stream, from, to});
            // Frames the decoder has not reached yet are silence; the
            // position still advances, so the stream stays in time.
            if (!channel.muted) accumulate(channel, from, std::min(to, ready), sum.data());
        }
        channel.position = std::max(from, to);
        if (ended && channel.position >= ready) {
            channel.stream = nullptr;
            channel.position = 0;
        }
    }
}

void Mixer::accumulate(const Channel& channel, int64_t from, int64_t to, int32_t* out) {
    const DecodedStream& pcm = *channel.stream->pcm;
    const bool mono = pcm.channels() == 1;
    while (from < to) {
        int64_t contiguous = 0;
        const int16_t* in = pcm.framesAt(from, contiguous);
        int64_t count = std::min(contiguous, to - from);
        for (int64_t i = 0; i < count; ++i) {
            int32_t left = mono ? in[i] : in[2 * i];
            int32_t right = mono ? in[i] : in[2 * i + 1];
            out[2 * i] += left;
            out[2 * i + 1] += right;
        }
        out += 2 * count;
        from += count;
    }
}
