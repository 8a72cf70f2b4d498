// The audio device: SDL's audio subsystem only (the window belongs to the
// GLUT toolkit), 44100 Hz stereo signed 16-bit, pulled from a Mixer by
// SDL's callback thread, which is the mixing thread.
#pragma once

#include <SDL.h>

#include <memory>

class Mixer;

class SoundDevice {
public:
    // Frames per device buffer asked for: 512 / 44100 Hz = 11.6 ms.
    static constexpr int requestedBufferFrames = 512;

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
    SoundDevice(SDL_AudioDeviceID id, int frames) : id(id), obtainedFrames(frames) {}
    static void SDLCALL fill(void* mixer, Uint8* stream, int bytes);

    SDL_AudioDeviceID id;
    int obtainedFrames;
};
