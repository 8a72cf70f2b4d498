// The channel mixer: the streams playing on a fixed number of channels,
// summed into 44100 Hz interleaved stereo 16-bit. Mono streams go to both
// sides; the sum is clamped to the 16-bit range; nothing is resampled. A
// stream played on a channel replaces what played there; a muted channel
// goes on advancing, so after an unmute it plays where it would have been.
// create is the platform's: the desktop mixes on its mixing thread
// (platform/desktop/software_mixer.h), the browser on its audio rendering
// thread (platform/web/worklet_mixer.cpp).
//
// Timing: a call given its monotonic moment (atNanoseconds >= 0) takes
// effect at the mix frame of that moment plus the scheduling delay, to the
// sample; an untimed one at the next frame mixed.
//
// Threads: play and setMute from one thread, the main thread; mix on the
// mixing thread.
#pragma once

#include <cstdint>
#include <memory>

struct FSOUND_STREAM;

class Mixer {
public:
    static constexpr int maxChannels = 32;

    // `channelCount` in 1..maxChannels (clamped).
    static std::unique_ptr<Mixer> create(int channelCount);

    virtual ~Mixer() = default;
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    virtual int channelCount() const = 0;
    // The scheduling delay of timed calls in frames (>= 0; 0 at first). Set
    // before the first timed call.
    virtual void setDelay(int frames) = 0;

    // Plays `stream` from its first frame on `channel`, replacing what plays
    // there; the channel's mute flag is kept. False for a bad channel, a
    // null stream or no room for the call.
    virtual bool play(int channel, FSOUND_STREAM* stream, int64_t atNanoseconds = -1) = 0;
    // False for a bad channel or no room for the call.
    virtual bool setMute(int channel, bool mute, int64_t atNanoseconds = -1) = 0;

    // Mixes the next `frames` frames into `interleavedStereo` (2 * frames
    // samples). `atNanoseconds`: the monotonic time of the call, or -1 for
    // an untimed mix. A platform that mixes elsewhere fills silence.
    virtual void mix(int16_t* interleavedStereo, int frames, int64_t atNanoseconds = -1) = 0;

protected:
    Mixer() = default;
};
