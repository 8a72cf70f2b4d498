#include "platform/desktop/sound_tuning.h"

#include "platform/desktop/pulse_server.h"

#include <cstdlib>
#include <cstring>

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

void SoundTuning::beforeAudioInit() {
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    if (std::getenv("PULSE_LATENCY_MSEC") || (driver && std::strcmp(driver, "pulseaudio") != 0)) return;
    setenv("PULSE_LATENCY_MSEC", PulseServer::isPipeWire() ? pipewirePulseBufferMilliseconds : pulseAudioBufferMilliseconds, 0);
}

void SoundTuning::unpaceDiskDriver() { setenv("SDL_DISKAUDIODELAY", "0", 0); }

void SoundTuning::makeCallingThreadRealTime() {
    sched_param priority{};
    priority.sched_priority = callbackRealTimePriority;
    pthread_setschedparam(pthread_self(), SCHED_RR, &priority);
}

// A sound server's client threads, which carry every buffer to the server,
// and SDL's callback thread take the scheduling of the thread that makes
// them: a loaded machine must not starve them. PipeWire's own real-time
// module does not reach the data thread of the stream that SDL's pipewire
// driver makes, which must answer every cycle of the graph.
SoundTuning::DeviceThreadsPriority::DeviceThreadsPriority() : nice(getpriority(PRIO_PROCESS, 0)) {
    pthread_getschedparam(pthread_self(), &policy, &priority);
    setpriority(PRIO_PROCESS, 0, deviceThreadsNice);
    makeCallingThreadRealTime();
}

SoundTuning::DeviceThreadsPriority::~DeviceThreadsPriority() {
    pthread_setschedparam(pthread_self(), policy, &priority);
    setpriority(PRIO_PROCESS, 0, nice);
}
