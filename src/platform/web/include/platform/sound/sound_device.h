// The browser's audio device, under the desktop device's name so that the
// sound library's calls (fsound.cpp) stay the same: a Web Audio context
// whose ScriptProcessor node pulls the Mixer on the page's main thread, the
// only thread there is, which is then the mixing thread.
//
// The context runs at 44100 Hz, which the browsers we know grant. Should
// one give another rate, the 44100 Hz mix is resampled linearly to it in
// the node, and nothing else changes.
//
// While the program waits for the browser inside a call (a decode), the
// node plays silence and does not mix: the program cannot be re-entered
// then. A page may set Module.onMixed(int16Samples) to receive a copy of
// every block mixed (interleaved stereo), for recording.
#pragma once

#include <cstdint>
#include <memory>

class Mixer;

class SoundDevice {
public:
    // Frames per node buffer, the node's smallest: 256 / 44100 Hz = 5.8 ms.
    // Cues do not wait for a buffer: the mixer places them to the sample
    // (Mixer::setDelay), one buffer ahead.
    static constexpr int requestedBufferFrames = 256;

    // The clock the node's mix calls are timed with: performance.now(), the
    // show's clock, in ns.
    static int64_t clockNanoseconds();

    // Creates the context and the node, which begins pulling `mixer` at
    // once; null when the browser has no Web Audio. `mixer` must outlive
    // the device.
    static std::unique_ptr<SoundDevice> open(Mixer& mixer);

    // Disconnects the node and closes the context.
    ~SoundDevice();
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    int bufferFrames() const { return requestedBufferFrames; }

private:
    SoundDevice() = default;
};
