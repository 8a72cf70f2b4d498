// The desktop's audio device (platform/sound/sound_device.h): SDL's audio
// subsystem only (the window belongs to the GLUT toolkit), stereo signed
// 16-bit, pulled from the mixer by SDL's callback thread, which is the
// mixing thread. The device runs at the mix's 44100 Hz, or, for SDL's
// pipewire driver, at 48000 Hz with the mix converted on the callback
// thread.
//
// SDL's disk and dummy drivers have no clock of their own: they pull as
// their sleeps allow, which drifts from real time by several per cent. On
// those the callback paces itself to the monotonic clock, so that what the
// disk driver records lines up with show time as a sound card's output
// would.
#pragma once

#include "platform/desktop/rate_converter.h"
#include "platform/sound/sound_device.h"

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <memory>

class Mixer;

class SdlSoundDevice final : public SoundDevice {
public:
    // Frames per device buffer asked for: 441 / 44100 Hz = 10 ms, a whole
    // number of microseconds (docs/sound.md says why that matters).
    static constexpr int requestedBufferFrames = 441;
    // SDL's pipewire driver asks the graph for a cycle of one device buffer
    // and the graph rounds its cycle down to a power of two: 512 frames
    // (10.7 ms at 48 kHz). The driver writes its whole buffer every cycle,
    // so the device opens at the graph's rate and converts the mix itself
    // (RateConverter): a stream resampled by the server would take a
    // buffer in only 11 of 12 cycles and let the queue ahead of the graph
    // wander by a buffer.
    static constexpr int pipewireBufferFrames = 512;
    static constexpr int pipewireRate = 48000;
    // What the scheduling delay of every cue (Mixer::setDelay) holds beyond
    // one device buffer: how far, in frames (220 = 5 ms), the device may run
    // ahead of the mixer's held line before cues land late.
    static constexpr int clockMarginFrames = 220;
    // How long open waits, at most, for the device's first timed mix.
    static constexpr int firstTimedMixWaitMilliseconds = 500;

    // What SoundDevice::open does once the process is tuned for sound
    // (sound_tuning.h): returns once a timed mix has set the mixer's line
    // (the first buffer is mixed untimed), or after
    // firstTimedMixWaitMilliseconds; on failure the SDL audio subsystem is
    // shut again.
    static std::unique_ptr<SdlSoundDevice> open(Mixer& mixer);

    // Stops the device, waiting for a running callback to return, and shuts
    // SDL's audio subsystem.
    ~SdlSoundDevice() override;

    // The buffer size the device gave, in frames.
    int bufferFrames() const { return obtainedFrames; }
    // SDL's name of the driver the device opened ("pulseaudio", "pipewire",
    // "disk", ...); static storage.
    const char* driver() const { return driverName; }

private:
    // What the callback thread uses; lives as long as the device.
    struct Feed {
        Mixer* mixer;
        bool paced;
        int64_t startNanoseconds = -1;  // monotonic time of the first callback
        int64_t framesDelivered = 0;
        bool realTimeTried = false;
        std::unique_ptr<RateConverter> converter = nullptr;  // when the device is not at mixRate
        std::atomic<int> callbacks{0};  // begun so far
    };

    explicit SdlSoundDevice(std::unique_ptr<Feed> feed) : feed(std::move(feed)) {}
    static void SDLCALL fill(void* feed, Uint8* stream, int bytes);

    std::unique_ptr<Feed> feed;
    SDL_AudioDeviceID id = 0;
    int obtainedFrames = 0;
    const char* driverName = "";
};
