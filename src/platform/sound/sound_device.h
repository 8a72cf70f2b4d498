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
    // Frames per device buffer asked for: 441 / 44100 Hz = 10 ms, the
    // shortest buffer that is a whole number of microseconds. A sound
    // server's clock counts in microseconds and truncates what it plays to
    // them: PulseAudio's null sink ran about 240 ppm fast against the
    // monotonic clock with 256-frame buffers and a 50 ms server buffer, and
    // within 2 ppm with these and 40 ms.
    static constexpr int requestedBufferFrames = 441;
    // What the scheduling delay of every cue (Mixer::setDelay) holds beyond
    // one device buffer, 5 ms: how far the device may run ahead of the
    // mixer's held line, as a device clock fast by 70 ppm does over the
    // show's 68.5 s (by 90 ppm at the last cue, 54 s in). A device further
    // ahead makes the later cues late by the difference.
    static constexpr int clockMarginFrames = 220;
    // What a PulseAudio (or PipeWire) server is asked to hold ahead of what
    // it plays; SDL alone would ask for one device buffer. A value the user
    // set in PULSE_LATENCY_MSEC is kept. What keeps the server from running
    // dry while the frame loop and the GL keep both cores busy is this
    // buffer, and a real-time callback thread where the system grants one.
    static constexpr const char* serverBufferMilliseconds = "40";
    // The nice value of the threads SDL starts for the device (Linux nice
    // values are per thread), where the system permits it.
    static constexpr int soundThreadsNice = -11;
    // The callback thread's SCHED_RR priority where the system grants one:
    // below a sound server's own real-time threads (PulseAudio's are at 5).
    static constexpr int callbackRealTimePriority = 4;

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
        bool realTimeTried = false;
    };

    SoundDevice(std::unique_ptr<Feed> feed) : feed(std::move(feed)) {}
    static std::unique_ptr<SoundDevice> openDevice(Mixer& mixer);
    static void SDLCALL fill(void* feed, Uint8* stream, int bytes);

    std::unique_ptr<Feed> feed;
    SDL_AudioDeviceID id = 0;
    int obtainedFrames = 0;
};
