// The browser's audio device, under the desktop device's name so that the
// sound library's calls (fsound.cpp) stay the same: a Web Audio context at
// 44100 Hz whose AudioWorkletNode plays the mix on the audio rendering
// thread. The page's main thread, the only thread our program has, mixes
// ahead: it keeps leadFrames mixed beyond what the node has played and hands
// each block to the node by message, so that the node plays on through a
// main-thread stall of up to that lead. No memory is shared with the
// rendering thread, so the page needs no cross-origin isolation.
//
// Timing: every mix call is timed with clockNanoseconds at the moment it is
// made; the mixer's line then maps a call's moment to the mix frame being
// mixed ahead, and a play or mute lands schedulingDelayFrames later. What is
// heard of a call comes leadFrames plus that delay after it, the same for
// every call.
//
// While the program waits for the browser inside a call (a decode), nothing
// is mixed: the program cannot be re-entered then; the node plays what it
// has, then silence. A page may set Module.onAudioNode(context, node), which
// is awaited before the node is connected, to tap what the node plays.
#pragma once

#include <cstdint>
#include <memory>

class Mixer;

class SoundDevice {
public:
    // Frames per mix call, the mixer's step: 1024 / 44100 Hz = 23 ms.
    static constexpr int requestedBufferFrames = 1024;
    // Mixed ahead of the node: 300 ms, a 200 ms stall and the pump's
    // 10 ms period with room for a loaded machine.
    static constexpr int leadFrames = 13 * requestedBufferFrames;
    // The mix runs up to two blocks ahead of the line: the first lead's last
    // call sets it, and a pump overshoots its target by up to a block. One
    // more for the estimate of what the node has played.
    static constexpr int schedulingDelayFrames = 3 * requestedBufferFrames;

    // performance.now(), the show's clock, in ns.
    static int64_t clockNanoseconds();

    // Creates the context and the node, waiting for the node's script, and
    // mixes the first lead; null when the browser has no Web Audio or no
    // AudioWorklet. `mixer` must outlive the device.
    static std::unique_ptr<SoundDevice> open(Mixer& mixer);

    // Stops mixing, disconnects the node and closes the context.
    ~SoundDevice();
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    int bufferFrames() const { return requestedBufferFrames; }

private:
    SoundDevice() = default;
};
