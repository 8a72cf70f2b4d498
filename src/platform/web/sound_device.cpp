#include "platform/sound/sound_device.h"

#include "platform/sound/mixer.h"

#include <emscripten.h>

#include <vector>

namespace {

// One block of the mix, handed to the node by address.
std::vector<int16_t> block;

// Creates the context and the node; 0 when the browser has no Web Audio.
// The node calls webMixBlock for each 44100 Hz block it needs.
EM_JS(int, startWebAudio, (Mixer* mixer, int16_t* blockData, int blockFrames, int rate), {
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return 0;
    let context;
    try {
        context = new Context({sampleRate: rate, latencyHint: 'interactive'});
    } catch (e) {
        context = new Context();  // a browser that will not run at 44100 Hz
    }
    const node = context.createScriptProcessor(blockFrames, 0, 2);
    const step = rate / context.sampleRate;  // mix frames per output frame
    let mixed = new Int16Array(0);  // the current block, as 44100 Hz frames
    let position = mixed.length / 2;  // in frames of `mixed`
    let last = [0, 0];  // the frame before `mixed`, for interpolation
    // The node asks for blocks by the audio clock, but only while the main
    // thread is free: after a stall (a long frame, a box) it asks for the
    // missed ones in a burst, which would put the mix ahead of the show's
    // clock for good. So the mix is paced to performance.now(), the clock
    // of the show: a block due later is silence, and a backlog larger than
    // four blocks is mixed at once and dropped, as a device thread would
    // have played it meanwhile.
    let start = null, mixedFrames = 0, resuming = false;
    // A call of the sound library (a play, a mute) made before the first
    // block after a wait: the program has run since the wait without the
    // node, so the mix is due from the call on.
    Module['webAudioCall'] = () => {
        if (resuming && start !== null) mixedFrames = Math.max(mixedFrames, (performance.now() - start) * (rate / 1000));
    };
    const mixOne = () => {
        resuming = false;
        _webMixBlock(mixer, blockData, blockFrames);
        mixedFrames += blockFrames;
        const copy = HEAP16.slice(blockData >> 1, (blockData >> 1) + 2 * blockFrames);
        if (Module['onMixed']) Module['onMixed'](copy);
        return copy;
    };
    const nextBlock = () => {
        if (mixed.length) last = [mixed[mixed.length - 2], mixed[mixed.length - 1]];
        position -= mixed.length / 2;
        mixed = new Int16Array(2 * blockFrames);
        const now = performance.now();
        if (start === null) start = now;
        const due = (now - start) * (rate / 1000);
        // A program waiting for the browser cannot be entered: silence, and
        // the time counts as mixed. What plays after the wait is then timed
        // from its call, not from the first block after the frames that
        // follow, which can come late.
        if (Asyncify.currData) {
            mixedFrames = Math.max(mixedFrames, due);
            resuming = true;
            return;
        }
        if (mixedFrames > due + blockFrames) return;
        while (due - mixedFrames > 4 * blockFrames) mixOne();
        mixed = mixOne();
    };
    node.onaudioprocess = (event) => {
        const left = event.outputBuffer.getChannelData(0);
        const right = event.outputBuffer.getChannelData(1);
        for (let i = 0; i < left.length; ++i, position += step) {
            while (position >= mixed.length / 2) nextBlock();
            // Linear between the frame before `position` and the one at it,
            // which puts the output one mix frame (23 us) late; at 44100 Hz
            // position is whole and each frame goes out as it is.
            const whole = Math.floor(position), part = position - whole;
            const l0 = whole > 0 ? mixed[2 * whole - 2] : last[0], r0 = whole > 0 ? mixed[2 * whole - 1] : last[1];
            const l1 = mixed[2 * whole], r1 = mixed[2 * whole + 1];
            left[i] = (l0 + (l1 - l0) * part) / 32768;
            right[i] = (r0 + (r1 - r0) * part) / 32768;
        }
    };
    node.connect(context.destination);
    context.resume();
    Module['webAudio'] = {context: context, node: node};
    return 1;
});

EM_JS(void, stopWebAudio, (), {
    const audio = Module['webAudio'];
    if (!audio) return;
    audio.node.onaudioprocess = null;
    audio.node.disconnect();
    audio.context.close();
    delete Module['webAudio'];
});

}  // namespace

namespace {
bool mixing = false;
EM_JS(void, noteLibraryCall, (), {
    if (Module['webAudioCall']) Module['webAudioCall']();
});
}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void webMixBlock(Mixer* mixer, int16_t* out, int frames) {
    mixing = true;
    mixer->mix(out, frames, SoundDevice::clockNanoseconds());
    mixing = false;
}

// The sound library reads the clock for each play and mute it times; the
// mixer, for each block.
int64_t SoundDevice::clockNanoseconds() {
    if (!mixing) noteLibraryCall();
    return static_cast<int64_t>(emscripten_get_now() * 1e6);
}

std::unique_ptr<SoundDevice> SoundDevice::open(Mixer& mixer) {
    block.assign(2 * requestedBufferFrames, 0);
    if (!startWebAudio(&mixer, block.data(), requestedBufferFrames, mixRate)) return nullptr;
    // A cue made now is mixed no earlier than the end of the block being
    // mixed, which is one block ahead at most.
    mixer.setDelay(requestedBufferFrames);
    return std::unique_ptr<SoundDevice>(new SoundDevice());
}

SoundDevice::~SoundDevice() { stopWebAudio(); }
