#include "platform/sound/mixer.h"

#include "platform/sound/sound_stream.h"

#include <algorithm>

namespace {
constexpr int64_t nanosecondsPerSecond = 1000000000;
}  // namespace

Mixer::Mixer(int channelCount)
    : channels(static_cast<size_t>(std::clamp(channelCount, 1, maxChannels))),
      sum(2 * stepFrames) {
    passages.reserve(4 * channels.size());
    events.reserve(64);
}

void Mixer::setDelay(int frames) {
    std::lock_guard<std::mutex> guard(lock);
    delayFrames = std::max(frames, 0);
}

bool Mixer::play(int channel, FSOUND_STREAM* stream, int64_t atNanoseconds) {
    if (!stream || !valid(channel)) return false;
    {
        std::lock_guard<std::mutex> guard(lock);
        schedule(Event{0, channel, Change::Play, stream}, atNanoseconds);
    }
    // The first frame is committed now; no lock is held, so the callback may
    // call back into the library.
    SyncPoints::Passed passed = stream->syncPoints.passedIn(0, 1);
    for (int i = 0; i < passed.count; ++i) passed.callback(stream, nullptr, 0, passed.userData);
    return true;
}

bool Mixer::setMute(int channel, bool mute, int64_t atNanoseconds) {
    if (!valid(channel)) return false;
    std::lock_guard<std::mutex> guard(lock);
    schedule(Event{0, channel, mute ? Change::Mute : Change::Unmute, nullptr}, atNanoseconds);
    return true;
}

void Mixer::schedule(Event event, int64_t atNanoseconds) {
    event.frame = mixedFrames;
    if (timed && atNanoseconds >= 0) {
        lineHeld = true;
        const int64_t sinceFrameZero = atNanoseconds - lineNanoseconds;
        const int64_t frame = (sinceFrameZero * rate + nanosecondsPerSecond / 2) / nanosecondsPerSecond;
        event.frame = std::max(mixedFrames, frame + delayFrames);
    }
    if (!events.empty()) event.frame = std::max(event.frame, events.back().frame);
    events.push_back(event);
}

void Mixer::stopAll() {
    std::lock_guard<std::mutex> guard(lock);
    events.clear();
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

void Mixer::mix(int16_t* out, int frames, int64_t atNanoseconds) {
    if (atNanoseconds >= 0) {
        std::lock_guard<std::mutex> guard(lock);
        const int64_t frameZero = atNanoseconds - mixedFrames * nanosecondsPerSecond / rate;
        if (!timed || (!lineHeld && frameZero < lineNanoseconds)) lineNanoseconds = frameZero;
        timed = true;
    }
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

void Mixer::apply(const Event& event) {
    Channel& channel = channels[static_cast<size_t>(event.channel)];
    switch (event.change) {
    case Change::Play:
        // A streamed stream has one reader: it leaves any other channel.
        if (event.stream->pcm->streamed()) {
            for (Channel& other : channels) {
                if (other.stream == event.stream) other.stream = nullptr, other.position = 0;
            }
        }
        event.stream->pcm->rewind();
        channel.stream = event.stream;
        channel.position = 0;
        channel.synced = 1;  // offset 0 fired in play
        break;
    case Change::Mute: channel.muted = true; break;
    case Change::Unmute: channel.muted = false; break;
    }
}

void Mixer::mixStep(int frames) {
    std::fill(sum.begin(), sum.begin() + 2 * frames, 0);
    passages.clear();
    size_t due = 0;
    int done = 0;
    while (done < frames) {
        while (due < events.size() && events[due].frame <= mixedFrames + done) apply(events[due++]);
        int until = frames;
        if (due < events.size()) until = static_cast<int>(std::min<int64_t>(frames, events[due].frame - mixedFrames));
        mixChannels(done, until);
        done = until;
    }
    events.erase(events.begin(), events.begin() + static_cast<std::ptrdiff_t>(due));
    mixedFrames += frames;
}

void Mixer::mixChannels(int first, int end) {
    for (Channel& channel : channels) {
        if (!channel.stream) continue;
        const int64_t from = channel.position;
        int64_t to = from + (end - first);
        const DecodedStream::Ready ready = channel.stream->pcm->take(from, to);
        if (ready.ended) to = std::min(to, ready.end);
        // Frames the decoder has not reached yet are silence; the position
        // still advances, so the stream stays in time.
        if (to > from && !channel.muted) accumulate(channel, from, std::min(to, ready.end), sum.data() + 2 * first);
        channel.position = std::max(from, to);
        const int64_t committed = std::min(channel.position + delayFrames, ready.end);
        if (committed > channel.synced) {
            if (!passages.empty() && passages.back().stream == channel.stream && passages.back().to == channel.synced) {
                passages.back().to = committed;
            } else {
                passages.push_back(Passage{channel.stream, channel.synced, committed});
            }
            channel.synced = committed;
        }
        if (ready.ended && channel.position >= ready.end) {
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
