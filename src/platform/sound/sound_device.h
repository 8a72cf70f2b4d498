// The audio device: what plays the mixer's output, opened by FSOUND_Init
// and closed by FSOUND_Close. open is the platform's: SDL's audio device on
// the desktop (platform/desktop/sdl_sound_device.h), a Web Audio context in
// the browser (platform/web/web_audio_device.cpp). Opening sets the mixer's
// scheduling delay to what the device needs.
//
// Threads: the main thread opens and closes the device.
#pragma once

#include <cstdint>
#include <memory>

class Mixer;

class SoundDevice {
public:
    // The clock that the mixer's timed calls are given in: monotonic, in ns.
    static int64_t clockNanoseconds();

    // Starts the device, which begins playing `mixer` at once; null when
    // there is none. `mixer` must outlive the device.
    static std::unique_ptr<SoundDevice> open(Mixer& mixer);

    // Stops the device; nothing of the mixer is used once this returns.
    virtual ~SoundDevice() = default;
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

protected:
    SoundDevice() = default;
};
