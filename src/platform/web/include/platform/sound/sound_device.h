// The browser's audio device, under the desktop device's name so that the
// sound library's calls (fsound.cpp) stay the same: a Web Audio context at
// 44100 Hz whose AudioWorkletNode mixes on the audio rendering thread what
// the mixer (mixer.h) posts to it. Nothing is mixed on the main thread and
// no memory is shared with the rendering thread, so the sound plays on
// through a main-thread stall and the page needs no cross-origin isolation.
//
// Timing: clockNanoseconds is the show's clock; a play or mute lands
// schedulingDelayFrames after the node's frame of its moment.
//
// A page may set Module.onAudioNode(context, node), which is awaited before
// the node is connected, to tap what the node plays.
#pragma once

#include <cstdint>
#include <memory>

class Mixer;

class SoundDevice {
public:
    // 2048 / 44100 Hz = 46 ms: what the node's frame, as the main thread
    // reads it, may lag the frame being rendered, plus a message's way to
    // the rendering thread, with room for a loaded machine.
    static constexpr int schedulingDelayFrames = 2048;

    // performance.now(), the show's clock, in ns.
    static int64_t clockNanoseconds();

    // Creates the context and the node, waiting for the node's script and
    // the context's start; null when the browser has no Web Audio, no
    // AudioWorklet or no output that starts within 1 s. `mixer` must
    // outlive the device.
    static std::unique_ptr<SoundDevice> open(Mixer& mixer);

    // Stops the node and closes the context.
    ~SoundDevice();
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

private:
    SoundDevice() = default;
};
