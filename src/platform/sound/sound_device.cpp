#include "platform/sound/sound_device.h"

#include "platform/sound/mixer.h"

#include <cstdint>

std::unique_ptr<SoundDevice> SoundDevice::open(Mixer& mixer) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
    SDL_AudioSpec wanted{};
    wanted.freq = 44100;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = requestedBufferFrames;
    wanted.callback = &SoundDevice::fill;
    wanted.userdata = &mixer;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts to whatever the hardware wants, so
    // the mixer always sees 44100 Hz stereo 16-bit.
    SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (id == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    std::unique_ptr<SoundDevice> device(new SoundDevice(id, obtained.samples));
    SDL_PauseAudioDevice(id, 0);
    return device;
}

SoundDevice::~SoundDevice() {
    SDL_CloseAudioDevice(id);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SDLCALL SoundDevice::fill(void* mixer, Uint8* stream, int bytes) {
    static_cast<Mixer*>(mixer)->mix(reinterpret_cast<int16_t*>(stream), bytes / (2 * static_cast<int>(sizeof(int16_t))));
}
