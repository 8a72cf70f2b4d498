#include "platform/sound/mixer.h"

#include "platform/sound/mix_rate.h"
#include "platform/sound/sound_stream.h"

#include <emscripten.h>

#include <algorithm>
#include <cstring>

namespace {

// Posts a play (`samples` non-null: `frames` frames of `channels`, copied)
// or a mute to the sound node (sound_device.cpp), at the node's frame of
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

}  // namespace

Mixer::Mixer(int channelCount) : channels(std::clamp(channelCount, 1, maxChannels)) {}

bool Mixer::play(int channel, FSOUND_STREAM* stream, int64_t atNanoseconds) {
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

bool Mixer::setMute(int channel, bool mute, int64_t atNanoseconds) {
    if (!valid(channel)) return false;
    if (atNanoseconds >= 0) postToNode(channel, nullptr, 0, 0, mute, atNanoseconds / 1e6, delayFrames, mixRate);
    return true;
}

void Mixer::mix(int16_t* interleavedStereo, int frames, int64_t) {
    if (frames > 0) std::memset(interleavedStereo, 0, sizeof(int16_t) * 2 * static_cast<size_t>(frames));
}
