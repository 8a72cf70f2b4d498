#include "platform/desktop/software_mixer.h"

#include "platform/sound/sound_stream.h"

#include <algorithm>

namespace {
constexpr int64_t nanosecondsPerSecond = 1000000000;

void accumulate(const DecodedStream& pcm, int64_t from, int64_t to, int32_t* out) {
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
}  // namespace

std::unique_ptr<Mixer> Mixer::create(int channelCount) { return std::make_unique<SoftwareMixer>(channelCount); }

SoftwareMixer::SoftwareMixer(int channelCount)
    : channels(static_cast<size_t>(std::clamp(channelCount, 1, maxChannels))), sum(2 * stepFrames) {
    events.reserve(queuedCalls);
}

void SoftwareMixer::setDelay(int frames) { delayFrames.store(std::max(frames, 0), std::memory_order_relaxed); }

bool SoftwareMixer::play(int channel, FSOUND_STREAM* stream, int64_t atNanoseconds) {
    if (!stream || !valid(channel)) return false;
    if (!post(Event{atNanoseconds, channel, Change::Play, stream, stream->pcm.get(), 0})) return false;
    stream->passSyncPoints(0, 1);  // the first frame is committed now
    return true;
}

bool SoftwareMixer::setMute(int channel, bool mute, int64_t atNanoseconds) {
    return valid(channel) && post(Event{atNanoseconds, channel, mute ? Change::Mute : Change::Unmute, nullptr, nullptr, 0});
}

bool SoftwareMixer::post(const Event& event) {
    int64_t room = 0;
    Event* slot = queue.writable(room);
    if (room == 0) return false;
    *slot = event;
    queue.commit(1);
    return true;
}

bool SoftwareMixer::isPlaying(int channel) const {
    return valid(channel) && (playing.load(std::memory_order_acquire) >> channel & 1) != 0;
}

void SoftwareMixer::receive() {
    const int64_t written = queue.written();
    for (int64_t next = queue.released(); next < written && events.size() < events.capacity(); ++next) {
        int64_t contiguous = 0;
        Event event = *queue.at(next, contiguous);
        queue.release(next + 1);
        event.frame = mixedFrames;
        if (timed && event.atNanoseconds >= 0) {
            lineHeld = true;
            const int64_t sinceFrameZero = event.atNanoseconds - lineNanoseconds;
            const int64_t frame = (sinceFrameZero * mixRate + nanosecondsPerSecond / 2) / nanosecondsPerSecond;
            event.frame = std::max(mixedFrames, frame + delayFrames.load(std::memory_order_relaxed));
        }
        if (!events.empty()) event.frame = std::max(event.frame, events.back().frame);
        events.push_back(event);
    }
}

void SoftwareMixer::mix(int16_t* out, int frames, int64_t atNanoseconds) {
    // Calls made before this mix take their frames from the line as it was.
    receive();
    if (atNanoseconds >= 0) {
        const int64_t frameZero = atNanoseconds - mixedFrames * nanosecondsPerSecond / mixRate;
        if (!timed || (!lineHeld && frameZero < lineNanoseconds)) lineNanoseconds = frameZero;
        timed = true;
    }
    while (frames > 0) {
        int step = std::min(frames, stepFrames);
        receive();
        mixStep(step);
        for (int i = 0; i < 2 * step; ++i) {
            out[i] = static_cast<int16_t>(std::clamp<int32_t>(sum[static_cast<size_t>(i)], INT16_MIN, INT16_MAX));
        }
        out += 2 * step;
        frames -= step;
    }
}

void SoftwareMixer::apply(const Event& event) {
    Channel& channel = channels[static_cast<size_t>(event.channel)];
    switch (event.change) {
    case Change::Play:
        channel.stream = event.stream;
        channel.pcm = event.pcm;
        channel.position = 0;
        channel.synced = 1;  // offset 0 fired in play
        break;
    case Change::Mute: channel.muted = true; break;
    case Change::Unmute: channel.muted = false; break;
    }
}

void SoftwareMixer::mixStep(int frames) {
    std::fill(sum.begin(), sum.begin() + 2 * frames, 0);
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
    uint32_t busy = 0;
    for (size_t c = 0; c < channels.size(); ++c) busy |= channels[c].stream ? 1u << c : 0u;
    playing.store(busy, std::memory_order_release);
}

void SoftwareMixer::mixChannels(int first, int end) {
    const int64_t delay = delayFrames.load(std::memory_order_relaxed);
    for (Channel& channel : channels) {
        if (!channel.stream) continue;
        const int64_t from = channel.position;
        int64_t to = from + (end - first);
        const DecodedStream::Ready ready = channel.pcm->take(from, to);
        if (ready.ended) to = std::min(to, ready.end);
        // Frames the decoder has not reached yet are silence; the position
        // still advances, so the stream stays in time.
        if (to > from && !channel.muted) accumulate(*channel.pcm, from, std::min(to, ready.end), sum.data() + 2 * first);
        channel.position = std::max(from, to);
        const int64_t committed = std::min(channel.position + delay, ready.end);
        if (committed > channel.synced) {
            channel.stream->passSyncPoints(channel.synced, committed);
            channel.synced = committed;
        }
        if (ready.ended && channel.position >= ready.end) {
            channel.stream = nullptr;
            channel.position = 0;
        }
    }
}
