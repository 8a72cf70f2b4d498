// The browser's mixer (platform/sound/mixer.h). The mix itself runs on the
// audio rendering thread, in the sound node's processor
// (web_audio_device.cpp), by the desktop's rules; play and setMute post the
// change to the node with the frame it takes effect at, so a stall of the
// main thread delays no sound already started.
//
// Timing: the line from the show's clock to the node's frames is taken at
// the first timed call and held, so that calls keep their spacing to the
// sample. A call that reaches the node after its frame takes effect at
// once, late. Untimed calls (no device) are silent.
//
// Sync points: the point at offset 0 fires inside play, on the caller's
// thread, as on the desktop; points at other offsets never fire.
#include "platform/sound/mixer.h"

#include "platform/sound/mix_rate.h"
#include "platform/sound/sound_stream.h"

#include <emscripten.h>

#include <algorithm>
#include <cstring>

namespace {

// Posts a play (`samples` non-null: `frames` frames of `channels`, copied)
// or a mute to the sound node (web_audio_device.cpp), at the node's frame of
// `atMs` on the show's clock plus `delay`. Nothing without a node. A play
// goes in parts of 1 s: Firefox copies a message's data on the way, and the
// whole music (12 MB) reached the node 55 to 110 ms after its post, past
// its frame.
EM_JS(void, postToNode, (int channel, const int16_t* samples, double frames, int channels, int mute, double atMs, int delay, int rate), {
    const audio = Module['webAudio'];
    if (!audio) return;
    const event = {channel: channel};
    // The frames from `first`, 1 s of them at most.
    const part = (first) => HEAP16.slice((samples >> 1) + first * channels, (samples >> 1) + Math.min(frames, first + rate) * channels);
    if (samples) {
        event.pcm = part(0);
        event.stereo = channels === 2;
    } else {
        event.mute = !!mute;
    }
    // The node's frame of a moment: its frame now, less the time since.
    if (audio.line === undefined) audio.line = audio.context.currentTime * rate - performance.now() * (rate / 1000);
    event.frame = Math.round(audio.line + atMs * (rate / 1000)) + delay;
    audio.node.port.postMessage(event, samples ? [event.pcm.buffer] : []);
    for (let at = rate; samples && at < frames; at += rate) {
        const more = part(at);
        audio.node.port.postMessage({channel: channel, more: more}, [more.buffer]);
    }
});

class WorkletMixer final : public Mixer {
public:
    explicit WorkletMixer(int channelCount) : channels(std::clamp(channelCount, 1, maxChannels)) {}

    int channelCount() const override { return channels; }
    void setDelay(int frames) override { delayFrames = std::max(frames, 0); }
    bool play(int channel, FSOUND_STREAM* stream, int64_t atNanoseconds) override;
    bool setMute(int channel, bool mute, int64_t atNanoseconds) override;
    // The browser has no manual output: silence.
    void mix(int16_t* interleavedStereo, int frames, int64_t) override {
        if (frames > 0) std::memset(interleavedStereo, 0, sizeof(int16_t) * 2 * static_cast<size_t>(frames));
    }

private:
    bool valid(int channel) const { return channel >= 0 && channel < channels; }

    int channels;
    int delayFrames = 0;
};

}  // namespace

std::unique_ptr<Mixer> Mixer::create(int channelCount) { return std::make_unique<WorkletMixer>(channelCount); }

bool WorkletMixer::play(int channel, FSOUND_STREAM* stream, int64_t atNanoseconds) {
    if (!valid(channel) || !stream) return false;
    // Before the copy, which takes milliseconds for the music: a clock that
    // the point resets then starts at the call's moment.
    stream->passSyncPoints(0, 1);
    if (atNanoseconds >= 0) {
        int64_t frames = 0;
        const int16_t* samples = stream->pcm->framesAt(0, frames);
        postToNode(channel, samples, static_cast<double>(frames), stream->pcm->channels(), 0, atNanoseconds / 1e6,
                   delayFrames, mixRate);
    }
    return true;
}

bool WorkletMixer::setMute(int channel, bool mute, int64_t atNanoseconds) {
    if (!valid(channel)) return false;
    if (atNanoseconds >= 0) postToNode(channel, nullptr, 0, 0, mute, atNanoseconds / 1e6, delayFrames, mixRate);
    return true;
}
