// The audio device: SDL's audio subsystem only (the window belongs to the
// GLUT toolkit), 44100 Hz stereo signed 16-bit, pulled from a Mixer by
// SDL's callback thread, which is the mixing thread.
//
// SDL's disk and dummy drivers have no clock of their own: they pull as
// their sleeps allow, which drifts from real time by several per cent. On
// those the callback paces itself to the monotonic clock, so that what the
// disk driver records lines up with show time as a sound card's output
// would.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>

class Mixer;

class SoundDevice {
public:
    // Frames per device buffer asked for: 1024 / 44100 Hz = 23.2 ms, long
    // enough that a sound server is not starved while the frame loop and the
    // GL keep both cores busy. Cues do not wait for a buffer: the mixer
    // places them to the sample (Mixer::setDelay).
    static constexpr int requestedBufferFrames = 1024;

    // The monotonic clock the device's callbacks are timed with, in ns.
    static int64_t clockNanoseconds();

    // Starts SDL's audio subsystem and the device, which begins pulling
    // `mixer` at once; null when either cannot be opened (the subsystem is
    // then shut again). `mixer` must outlive the device.
    static std::unique_ptr<SoundDevice> open(Mixer& mixer);

    // Stops the device, waiting for a running callback to return, and shuts
    // SDL's audio subsystem.
    ~SoundDevice();
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    // The buffer size the device gave, in frames.
    int bufferFrames() const { return obtainedFrames; }

private:
    // What the callback thread uses; lives as long as the device.
    struct Feed {
        Mixer* mixer;
        bool paced;
        int64_t startNanoseconds = -1;  // monotonic time of the first callback
        int64_t framesDelivered = 0;
    };

    SoundDevice(std::unique_ptr<Feed> feed) : feed(std::move(feed)) {}
    static void SDLCALL fill(void* feed, Uint8* stream, int bytes);

    std::unique_ptr<Feed> feed;
    SDL_AudioDeviceID id = 0;
    int obtainedFrames = 0;
};
