// The browser's audio device (platform/sound/sound_device.h): a Web Audio
// context at 44100 Hz whose AudioWorkletNode mixes on the audio rendering
// thread what the mixer (worklet_mixer.cpp) posts to it. Nothing is mixed
// on the main thread and no memory is shared with the rendering thread, so
// the sound plays on through a main-thread stall and the page needs no
// cross-origin isolation.
//
// Timing: clockNanoseconds is the show's clock, performance.now(); a play
// or mute lands schedulingDelayFrames after the node's frame of its moment.
//
// A page may set Module.onAudioNode(context, node), which is awaited before
// the node is connected, to tap what the node plays.
#include "platform/sound/sound_device.h"

#include "platform/sound/mix_rate.h"
#include "platform/sound/mixer.h"

#include <emscripten.h>

namespace {

// 2048 / 44100 Hz = 46 ms: what the node's frame, as the main thread reads
// it, may lag the frame being rendered, plus a message's way to the
// rendering thread, with room for a loaded machine.
constexpr int schedulingDelayFrames = 2048;

// Creates the context and the node, and waits until the context runs; 0
// when the browser has no Web Audio, no AudioWorklet or no output. Called
// within the Play click, so that the browser lets the context run.
EM_ASYNC_JS(int, startWebAudio, (int rate), {
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context || !window.AudioWorkletNode) return 0;
    let context;
    try {
        context = new Context({sampleRate: rate, latencyHint: 'interactive'});
    } catch (e) {
        return 0;
    }
    // Runs in the worklet's scope, on the rendering thread: the mixer. A
    // message is a play ({channel, frame, pcm, stereo}), the next part of
    // the last play posted on a channel ({channel, more}) or a mute
    // ({channel, frame, mute}), in the order of the calls; null stops it.
    const mixer = () => registerProcessor('vesk-mixer', class extends AudioWorkletProcessor {
        constructor() {
            super();
            this.playing = [];  // per channel: {parts, stereo, at} or null
            this.posted = [];   // per channel: the last play posted
            this.muted = [];
            this.events = [];
            this.running = true;
            this.port.onmessage = ({data: e}) => {
                if (!e) this.running = false;
                else if (e.more) this.posted[e.channel].parts.push(e.more);
                else this.events.push(e.pcm ? {frame: e.frame, channel: e.channel, play: this.posted[e.channel] = {parts: [e.pcm], stereo: e.stereo, at: 0}} : e);
            };
        }
        process(inputs, outputs) {
            const left = outputs[0][0], right = outputs[0][1];
            for (let i = 0; i < left.length; ++i) {
                while (this.events.length && this.events[0].frame <= currentFrame + i) {
                    const e = this.events.shift();
                    if (e.play) this.playing[e.channel] = e.play;
                    else this.muted[e.channel] = e.mute;
                }
                let l = 0, r = 0;
                for (let c = 0; c < this.playing.length; ++c) {
                    const p = this.playing[c];
                    if (!p) continue;
                    const pcm = p.parts[0], s = p.stereo ? 2 * p.at : p.at;
                    if (!this.muted[c]) {
                        l += pcm[s];
                        r += pcm[p.stereo ? s + 1 : s];
                    }
                    if (s + (p.stereo ? 2 : 1) < pcm.length) ++p.at;
                    else if (p.parts.length > 1) p.parts.shift(), p.at = 0;
                    else this.playing[c] = null;
                }
                left[i] = Math.max(-32768, Math.min(32767, l)) / 32768;
                right[i] = Math.max(-32768, Math.min(32767, r)) / 32768;
            }
            return this.running;
        }
    });
    let node;
    try {
        const url = URL.createObjectURL(new Blob(['(' + mixer + ')()'], {type: 'text/javascript'}));
        await context.audioWorklet.addModule(url);
        URL.revokeObjectURL(url);
        node = new AudioWorkletNode(context, 'vesk-mixer', {numberOfInputs: 0, outputChannelCount: [2]});
        if (Module['onAudioNode']) await Module['onAudioNode'](context, node);
        node.connect(context.destination);
        context.resume();
        // A context that does not start within 1 s has no output to play to
        // (resume never settles then).
        for (let i = 0; i < 200 && context.currentTime === 0; ++i) await new Promise((r) => setTimeout(r, 5));
        if (context.currentTime === 0) throw new Error('no output');
    } catch (e) {
        context.close();
        return 0;
    }
    // The line from the clock to the node's frames (worklet_mixer.cpp), taken
    // while the page is idle: a busy main thread reads the context's time late
    // (Firefox's by up to 100 ms as the show starts), never early, so the
    // latest of a few readings is the truest.
    let line = -Infinity;
    for (let i = 0; i < 10; ++i, await new Promise((r) => setTimeout(r, 5)))
        line = Math.max(line, context.currentTime * rate - performance.now() * (rate / 1000));
    Module['webAudio'] = {context: context, node: node, line: line};
    return 1;
});

EM_JS(void, stopWebAudio, (), {
    const audio = Module['webAudio'];
    if (!audio) return;
    audio.node.port.postMessage(null);
    audio.context.close();
    delete Module['webAudio'];
});

class WebAudioDevice final : public SoundDevice {
public:
    // Stops the node and closes the context.
    ~WebAudioDevice() override { stopWebAudio(); }
};

}  // namespace

int64_t SoundDevice::clockNanoseconds() { return static_cast<int64_t>(emscripten_get_now() * 1e6); }

std::unique_ptr<SoundDevice> SoundDevice::open(Mixer& mixer) {
    mixer.setDelay(schedulingDelayFrames);
    if (!startWebAudio(mixRate)) return nullptr;
    return std::make_unique<WebAudioDevice>();
}
