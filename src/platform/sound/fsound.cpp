// The sound library's calls, over the mixer, the device and the streams.
// Every call here runs on the main thread, except mixSound, which runs on
// the thread that the manual output's user mixes on.
#include "platform/sound/fsound.h"

#include "platform/sound/mixer.h"
#include "platform/sound/sound_device.h"
#include "platform/sound/sound_output.h"
#include "platform/sound/sound_stream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

class SoundSystem {
public:
    ~SoundSystem() { close(); }

    SoundOutput output = SoundOutput::Device;
    // Declared before the mixer and the device, so destroyed after both.
    std::vector<std::unique_ptr<FSOUND_STREAM>> streams;
    std::unique_ptr<Mixer> mixer;  // non-null while initialised
    std::unique_ptr<SoundDevice> device;

    void close() {
        device.reset();  // the device thread has stopped once this returns
        mixer.reset();
        streams.clear();  // joins any decoder still running
    }

    // Calls are timed only while a device pulls the mix; the manual output
    // takes them at its next mixSound.
    int64_t callNanoseconds() const { return device ? SoundDevice::clockNanoseconds() : -1; }

    // The manual output is pulled faster than real time and would overtake
    // a decoder thread, mixing silence where it has not been yet; decoding
    // on the mixing thread keeps an offline mix the same on every run.
    DecodedStream::Reading reading() const {
        return output == SoundOutput::Manual ? DecodedStream::Reading::Pulled : DecodedStream::Reading::Thread;
    }

    // A handle is trusted only while the library still holds its stream, so
    // a handle kept past FSOUND_Close is treated as null.
    FSOUND_STREAM* find(FSOUND_STREAM* handle) const {
        if (!handle) return nullptr;
        for (const auto& stream : streams) {
            if (stream.get() == handle) return handle;
        }
        return nullptr;
    }
};

SoundSystem& soundSystem() {
    static SoundSystem system;
    return system;
}

}  // namespace

void setSoundOutput(SoundOutput output) { soundSystem().output = output; }

void mixSound(int16_t* interleavedStereo, int frames) {
    if (frames <= 0) return;
    SoundSystem& system = soundSystem();
    if (system.mixer && system.output == SoundOutput::Manual && !system.device) {
        system.mixer->mix(interleavedStereo, frames);
    } else {
        std::memset(interleavedStereo, 0, sizeof(int16_t) * 2 * static_cast<size_t>(frames));
    }
}

signed char FSOUND_Init(int mixRate, int channelCount, unsigned int flags) {
    SoundSystem& system = soundSystem();
    if (system.mixer) return 1;
    if (mixRate != DecodedStream::sampleRate || channelCount < 1 || channelCount > Mixer::maxChannels || flags != 0) {
        return 0;
    }
    system.mixer = Mixer::create(channelCount);
    if (system.output == SoundOutput::Device) {
        system.device = SoundDevice::open(*system.mixer);
        // The show goes on without sound: the channels keep their state and
        // nothing is mixed.
        if (!system.device) std::fprintf(stderr, "vesk: no audio device, playing silently\n");
    }
    return 1;
}

void FSOUND_Close() { soundSystem().close(); }

FSOUND_STREAM* FSOUND_Stream_Open(const char* nameOrData, unsigned int mode, int offset, int length) {
    // Only memory streams are provided; streams may be opened before
    // FSOUND_Init and belong to the library until FSOUND_Close.
    if (!nameOrData || !(mode & FSOUND_LOADMEMORY) || offset != 0 || length <= 0) return nullptr;
    SoundSystem& system = soundSystem();
    std::unique_ptr<DecodedStream> pcm = DecodedStream::open(nameOrData, static_cast<size_t>(length), system.reading());
    if (!pcm) return nullptr;
    system.streams.push_back(std::make_unique<FSOUND_STREAM>(nameOrData, static_cast<size_t>(length), std::move(pcm)));
    return system.streams.back().get();
}

signed char FSOUND_Stream_SetSyncCallback(FSOUND_STREAM* handle, FSOUND_STREAMCALLBACK callback, void* userData) {
    FSOUND_STREAM* stream = soundSystem().find(handle);
    if (!stream || stream->played) return 0;
    stream->callback = callback;
    stream->userData = userData;
    return 1;
}

FSOUND_SYNCPOINT* FSOUND_Stream_AddSyncPoint(FSOUND_STREAM* handle, unsigned int pcmOffset, const char*) {
    FSOUND_STREAM* stream = soundSystem().find(handle);
    if (!stream || stream->played) return nullptr;
    stream->syncPoints.push_back(std::make_unique<FSOUND_SYNCPOINT>(FSOUND_SYNCPOINT{pcmOffset}));
    return stream->syncPoints.back().get();
}

int FSOUND_Stream_Play(int channel, FSOUND_STREAM* handle) {
    SoundSystem& system = soundSystem();
    FSOUND_STREAM* stream = system.find(handle);
    if (!system.mixer || !stream) return -1;
    // A stream is read once: a streamed one that has played before is
    // decoded again from its bytes, here, while a channel still playing the
    // earlier pass reads on from it.
    if (stream->played && stream->pcm->streamed()) {
        if (std::unique_ptr<DecodedStream> again = DecodedStream::open(stream->data, stream->length, system.reading())) {
            stream->earlierPasses.push_back(std::move(stream->pcm));
            stream->pcm = std::move(again);
        }
    }
    stream->played = true;
    return system.mixer->play(channel, stream, system.callNanoseconds()) ? channel : -1;
}

signed char FSOUND_SetMute(int channel, signed char mute) {
    SoundSystem& system = soundSystem();
    if (!system.mixer) return 0;
    return system.mixer->setMute(channel, mute != 0, system.callNanoseconds()) ? 1 : 0;
}
