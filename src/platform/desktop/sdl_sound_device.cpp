#include "platform/desktop/sdl_sound_device.h"

#include "platform/desktop/sound_tuning.h"
#include "platform/sound/mix_rate.h"
#include "platform/sound/mixer.h"

#include <cstdint>
#include <cstring>
#include <ctime>

namespace {

bool driverHasNoClock() {
    const char* driver = SDL_GetCurrentAudioDriver();
    return driver && (std::strcmp(driver, "disk") == 0 || std::strcmp(driver, "dummy") == 0);
}

}  // namespace

int64_t SoundDevice::clockNanoseconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
}

std::unique_ptr<SoundDevice> SoundDevice::open(Mixer& mixer) {
    SoundTuning::beforeAudioInit();
    const SoundTuning::DeviceThreadsPriority whileSDLStartsItsThreads;
    return SdlSoundDevice::open(mixer);
}

std::unique_ptr<SdlSoundDevice> SdlSoundDevice::open(Mixer& mixer) {
    // SDL would turn SIGINT and SIGTERM into quit events, which nothing here
    // reads: the show keeps the signals' default actions, so Ctrl-C and kill
    // end it at once.
    SDL_SetHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "1", SDL_HINT_OVERRIDE);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
    std::unique_ptr<Feed> feed(new Feed{&mixer, driverHasNoClock()});
    // The disk driver's own sleep between buffers would add to ours; a
    // delay the user chose is kept.
    if (feed->paced) SoundTuning::unpaceDiskDriver();
    SDL_AudioSpec wanted{};
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    const char* driver = SDL_GetCurrentAudioDriver();
    const bool pipewire = driver && std::strcmp(driver, "pipewire") == 0;
    wanted.freq = pipewire ? pipewireRate : mixRate;
    wanted.samples = pipewire ? pipewireBufferFrames : requestedBufferFrames;
    wanted.callback = &SdlSoundDevice::fill;
    wanted.userdata = feed.get();
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts to whatever the hardware wants, so
    // the device always takes the rate asked for, stereo 16-bit.
    SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (id == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    if (obtained.freq != mixRate) feed->converter.reset(new RateConverter(obtained.samples));
    // The mix frames one callback takes, at most.
    const int mixFrames = static_cast<int>((int64_t{obtained.samples} * mixRate + obtained.freq - 1) / obtained.freq);
    std::unique_ptr<SdlSoundDevice> device(new SdlSoundDevice(std::move(feed)));
    device->id = id;
    device->obtainedFrames = obtained.samples;
    device->driverName = driver;
    // A cue made now is mixed no earlier than the end of the buffer being
    // mixed, which is one buffer ahead at most, plus the device clock's run
    // ahead of the mixer's line.
    mixer.setDelay(mixFrames + clockMarginFrames);
    SDL_PauseAudioDevice(id, 0);
    // Until a timed mix has set the mixer's line, a play lands at the next
    // mix call's first frame, off the line every later cue is placed on:
    // the show's first play must come after it.
    for (int waited = 0; device->feed->callbacks.load() < 2 && waited < firstTimedMixWaitMilliseconds; ++waited)
        SDL_Delay(1);
    return device;
}

SdlSoundDevice::~SdlSoundDevice() {
    SDL_CloseAudioDevice(id);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SDLCALL SdlSoundDevice::fill(void* userData, Uint8* stream, int bytes) {
    Feed& feed = *static_cast<Feed*>(userData);
    if (!feed.realTimeTried) {
        // So that the frame loop and the GL's threads cannot keep the
        // callback from the server for longer than the server's buffer.
        feed.realTimeTried = true;
        SoundTuning::makeCallingThreadRealTime();
    }
    const int frames = bytes / (2 * static_cast<int>(sizeof(int16_t)));
    if (feed.paced) {
        // Hand out each buffer no earlier than real time reaches its start.
        const int64_t now = clockNanoseconds();
        if (feed.startNanoseconds < 0) feed.startNanoseconds = now;
        const int64_t due = feed.startNanoseconds + feed.framesDelivered * 1000000000 / mixRate;
        if (due > now) {
            timespec wait{static_cast<time_t>((due - now) / 1000000000), static_cast<long>((due - now) % 1000000000)};
            nanosleep(&wait, nullptr);
        }
        feed.framesDelivered += frames;
    }
    // The first buffer fills the server's queue before its clock starts, so
    // its time says nothing of when its frames play: it is mixed untimed.
    const int64_t at = feed.callbacks.fetch_add(1) == 0 ? -1 : clockNanoseconds();
    if (RateConverter* converter = feed.converter.get()) {
        const int mixFrames = converter->inputFrames(frames);
        feed.mixer->mix(converter->inputSpace(), mixFrames, at);
        converter->convert(reinterpret_cast<int16_t*>(stream), frames);
        return;
    }
    feed.mixer->mix(reinterpret_cast<int16_t*>(stream), frames, at);
}
