// The channel mixer: sums the streams playing on a fixed number of channels
// into 44100 Hz interleaved stereo 16-bit output. Mono streams go to both
// sides; the sum is clamped to the 16-bit range. Nothing is resampled.
//
// Threads: play, setMute and the queries run on the main thread; mix runs on
// the mixing thread (the audio device's callback, or the caller of
// mixSound). Channel state is guarded by one lock, which both sides hold only
// briefly; sync callbacks are called from mix after the lock is released.
//
// Positions are sample-exact: a stream played between two mix calls starts
// at the first frame of the next one. A muted channel goes on advancing and
// passing sync points. A channel whose stream has ended becomes free.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

struct FSOUND_STREAM;

class Mixer {
public:
    static constexpr int maxChannels = 32;
    // Frames mixed per step of mix; sync callbacks fire after each step.
    static constexpr int stepFrames = 1024;

    // `channelCount` in 1..maxChannels (clamped).
    explicit Mixer(int channelCount);

    int channelCount() const { return static_cast<int>(channels.size()); }

    // Starts `stream` from its first frame on `channel`, replacing what
    // played there; the channel's mute flag is kept. False for a bad channel
    // or a null stream.
    bool play(int channel, FSOUND_STREAM* stream);
    // False for a bad channel.
    bool setMute(int channel, bool mute);
    // Empties every channel; mute flags are kept.
    void stopAll();

    // Whether a stream is on `channel`, and its position in frames (0 when
    // none).
    bool isPlaying(int channel) const;
    int64_t position(int channel) const;

    // Mixes the next `frames` frames into `interleavedStereo` (2 * frames
    // samples), advancing every channel and firing the sync points passed.
    // The streams must stay alive during the call.
    void mix(int16_t* interleavedStereo, int frames);

private:
    struct Channel {
        FSOUND_STREAM* stream = nullptr;
        int64_t position = 0;
        bool muted = false;
    };
    struct Passage {
        FSOUND_STREAM* stream;
        int64_t from, to;
    };

    bool valid(int channel) const { return channel >= 0 && channel < channelCount(); }
    // Under the lock: adds one step of every channel into `sum`, noting the
    // stretches played in `passages`.
    void mixStep(int frames);
    void accumulate(const Channel& channel, int64_t from, int64_t to, int32_t* out);

    mutable std::mutex lock;
    std::vector<Channel> channels;
    // The mixing thread's own, sized once, so that mixing never allocates.
    std::vector<int32_t> sum;
    std::vector<Passage> passages;
};
