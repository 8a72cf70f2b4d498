// The browser's channel mixer, under the desktop mixer's name so that the
// sound library's calls (fsound.cpp) stay the same. The mix itself runs on
// the audio rendering thread, in the sound node's processor
// (sound_device.cpp), by the desktop's rules: mono streams to both sides,
// the sum clamped to 16 bits, a muted channel goes on advancing, a stream
// played on a channel replaces what played there. play and setMute post
// the change to the node with the frame it takes effect at, so a stall of
// the main thread delays no sound already started.
//
// Timing: a call at `atNanoseconds` takes effect at the node's frame of that
// moment plus the scheduling delay. The line from the show's clock to the
// node's frames is taken at the first timed call and held, so that calls
// keep their spacing to the sample. A call that reaches the node after its
// frame takes effect at once, late. Untimed calls (no device) are silent.
//
// Sync points: the point at offset 0 fires inside play, on the caller's
// thread, as on the desktop; points at other offsets never fire.
//
// Threads: one, the page's main thread.
#pragma once

#include <cstdint>

struct FSOUND_STREAM;

class Mixer {
public:
    static constexpr int maxChannels = 32;

    // `channelCount` in 1..maxChannels (clamped).
    explicit Mixer(int channelCount);

    int channelCount() const { return channels; }
    // The scheduling delay of timed calls in frames (>= 0).
    void setDelay(int frames) { delayFrames = frames < 0 ? 0 : frames; }

    // False for a bad channel or a null stream.
    bool play(int channel, FSOUND_STREAM* stream, int64_t atNanoseconds = -1);
    // False for a bad channel.
    bool setMute(int channel, bool mute, int64_t atNanoseconds = -1);

    // The browser has no manual output: silence.
    void mix(int16_t* interleavedStereo, int frames, int64_t atNanoseconds = -1);

private:
    bool valid(int channel) const { return channel >= 0 && channel < channels; }

    int channels;
    int delayFrames = 0;
};
