// Process-wide tuning for the audio device. Every call here reaches beyond
// the device: it sets environment variables that libpulse and SDL read for
// the whole process, or changes a thread's scheduling. The desktop's sound
// device calls these and nothing else does.
#pragma once

#include <sched.h>

class SoundTuning {
public:
    // The buffer, in ms, that a PulseAudio server is asked to hold ahead of
    // what it plays (PULSE_LATENCY_MSEC); SDL alone would ask for one device
    // buffer. PulseAudio rides out the machine's stops from it.
    static constexpr const char* pulseAudioBufferMilliseconds = "40";
    // The same for pipewire-pulse, which holds more than it is asked for
    // ahead of the graph: what it is asked for sets the pictures' lead over
    // the sound (docs/sound.md).
    static constexpr const char* pipewirePulseBufferMilliseconds = "25";
    // The nice value of the threads SDL starts for the device.
    static constexpr int deviceThreadsNice = -11;
    // The callback thread's SCHED_RR priority: below a sound server's own
    // real-time threads (PulseAudio's at 5, PipeWire's higher).
    static constexpr int callbackRealTimePriority = 4;

    // Before SDL's audio subsystem starts: asks the PulseAudio server for
    // the buffer that suits it (PulseServer::isPipeWire), unless the user
    // set PULSE_LATENCY_MSEC or SDL_AUDIODRIVER names another driver.
    static void beforeAudioInit();
    // For SDL's disk driver, whose own sleep between buffers would add to
    // the device's pacing: sets SDL_DISKAUDIODELAY to 0 unless the user set it.
    static void unpaceDiskDriver();
    // On the callback thread: SCHED_RR at callbackRealTimePriority where the
    // system grants it (root, or an RTPRIO limit); elsewhere nothing changes.
    static void makeCallingThreadRealTime();

    // While alive, the calling thread runs as the device's threads must:
    // SCHED_RR at callbackRealTimePriority where granted, and at
    // deviceThreadsNice. The threads SDL and the sound server's client
    // library start meanwhile inherit both (a PipeWire stream's data thread
    // among them); the thread's own scheduling comes back after.
    class DeviceThreadsPriority {
    public:
        DeviceThreadsPriority();
        ~DeviceThreadsPriority();
        DeviceThreadsPriority(const DeviceThreadsPriority&) = delete;
        DeviceThreadsPriority& operator=(const DeviceThreadsPriority&) = delete;

    private:
        int nice;
        int policy = SCHED_OTHER;
        sched_param priority{};
    };
};
