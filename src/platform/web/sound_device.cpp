#include "platform/sound/sound_device.h"

#include "platform/sound/mixer.h"

#include <emscripten.h>

#include <vector>

namespace {

// One block of the mix, handed to the node by copy.
std::vector<int16_t> block;

// Creates the context and the node and starts the pump, which every 10 ms
// mixes blocks until leadFrames are mixed beyond what the node has played;
// 0 when the browser has no Web Audio or no AudioWorklet. Called within the
// Play click, so that the browser lets the context run.
EM_ASYNC_JS(int, startWebAudio, (Mixer* mixer, int16_t* blockData, int blockFrames, int leadFrames), {
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context || !window.AudioWorkletNode) return 0;
    let context;
    try {
        context = new Context({sampleRate: 44100, latencyHint: 'interactive'});
    } catch (e) {
        return 0;
    }
    // Runs in the worklet's scope: plays the blocks in the order they came,
    // silence when there is none, and tells the main thread how far it has
    // played once every 1024 frames of the context.
    const output = () => registerProcessor('vesk-output', class extends AudioWorkletProcessor {
        constructor() {
            super();
            this.blocks = [];
            this.at = 0;  // the next frame of blocks[0]
            this.played = 0;
            this.draining = false;
            this.port.onmessage = (event) => {
                if (event.data) this.blocks.push(event.data);
                else this.draining = true;
            };
        }
        process(inputs, outputs) {
            const left = outputs[0][0], right = outputs[0][1];
            let i = 0;
            while (i < left.length && this.blocks.length) {
                const samples = this.blocks[0];
                for (; i < left.length && 2 * this.at < samples.length; ++i, ++this.at) {
                    left[i] = samples[2 * this.at] / 32768;
                    right[i] = samples[2 * this.at + 1] / 32768;
                }
                if (2 * this.at === samples.length) {
                    this.blocks.shift();
                    this.at = 0;
                }
            }
            this.played += i;
            const end = currentFrame + left.length;
            if (end % 1024 === 0) this.port.postMessage([this.played, end]);
            if (this.draining && !this.blocks.length) {
                this.port.postMessage('drained');
                return false;
            }
            return true;
        }
    });
    let node;
    try {
        const url = URL.createObjectURL(new Blob(['(' + output + ')()'], {type: 'text/javascript'}));
        await context.audioWorklet.addModule(url);
        URL.revokeObjectURL(url);
        node = new AudioWorkletNode(context, 'vesk-output', {numberOfInputs: 0, outputChannelCount: [2]});
        if (Module['onAudioNode']) await Module['onAudioNode'](context, node);
        node.connect(context.destination);
    } catch (e) {
        context.close();
        return 0;
    }
    context.resume();
    let mixed = 0, played = 0, playedAt = null;
    node.port.onmessage = (event) => {
        if (event.data === 'drained') {
            context.close();
        } else {
            [played, playedAt] = event.data;
        }
    };
    const pump = () => {
        if (Asyncify.currData) return;
        // What the node has played by now, at most what it was given.
        const now = Math.round(context.currentTime * 44100);
        const heard = playedAt === null ? 0 : Math.min(mixed, played + Math.max(0, now - playedAt));
        while (mixed < heard + leadFrames) {
            _webMixBlock(mixer, blockData, blockFrames);
            mixed += blockFrames;
            const copy = HEAP16.slice(blockData >> 1, (blockData >> 1) + 2 * blockFrames);
            node.port.postMessage(copy, [copy.buffer]);
        }
    };
    Module['webAudio'] = {context: context, node: node, pump: pump, timer: setInterval(pump, 10)};
    return 1;
});

// The first lead, mixed at once: a call made before the first timed mix
// would be untimed, placed at the next block rather than a delay after it.
// Not from startWebAudio, which runs while the program waits for it.
EM_JS(void, mixFirstLead, (), { Module['webAudio'].pump(); });

// The node plays what it was given to its end, then the context closes.
EM_JS(void, stopWebAudio, (), {
    const audio = Module['webAudio'];
    if (!audio) return;
    clearInterval(audio.timer);
    audio.node.port.postMessage(null);
    delete Module['webAudio'];
});

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void webMixBlock(Mixer* mixer, int16_t* out, int frames) {
    mixer->mix(out, frames, SoundDevice::clockNanoseconds());
}

int64_t SoundDevice::clockNanoseconds() { return static_cast<int64_t>(emscripten_get_now() * 1e6); }

std::unique_ptr<SoundDevice> SoundDevice::open(Mixer& mixer) {
    block.assign(2 * requestedBufferFrames, 0);
    mixer.setDelay(schedulingDelayFrames);
    if (!startWebAudio(&mixer, block.data(), requestedBufferFrames, leadFrames)) return nullptr;
    mixFirstLead();
    return std::unique_ptr<SoundDevice>(new SoundDevice());
}

SoundDevice::~SoundDevice() { stopWebAudio(); }
