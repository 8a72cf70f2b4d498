#include "platform/sound/sound_tuning.h"

#include <cstdlib>

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

void SoundTuning::beforeAudioInit() { setenv("PULSE_LATENCY_MSEC", serverBufferMilliseconds, 0); }

void SoundTuning::unpaceDiskDriver() { setenv("SDL_DISKAUDIODELAY", "0", 0); }

void SoundTuning::makeCallingThreadRealTime() {
    sched_param priority{};
    priority.sched_priority = callbackRealTimePriority;
    pthread_setschedparam(pthread_self(), SCHED_RR, &priority);
}

// A sound server's client thread, which carries every buffer to the server,
// and SDL's callback thread inherit the nice value of the thread that makes
// them: a loaded machine must not starve them.
SoundTuning::RaisedNice::RaisedNice() : before(getpriority(PRIO_PROCESS, 0)) {
    setpriority(PRIO_PROCESS, 0, deviceThreadsNice);
}

SoundTuning::RaisedNice::~RaisedNice() { setpriority(PRIO_PROCESS, 0, before); }
