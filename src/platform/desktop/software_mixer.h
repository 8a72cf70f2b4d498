// The desktop's mixer (platform/sound/mixer.h), in our own code on the
// mixing thread.
//
// Threads: play and setMute are called from one thread only, the main
// thread (with the manual output, the thread that calls mix); mix runs on
// the mixing thread (the audio device's callback, or the caller of
// mixSound), and so do the sync callbacks it fires, which therefore must
// not call play or setMute while a device mixes. The calls reach the
// mixing thread through a bounded lock-free queue: mix never waits for a
// lock and never allocates. isPlaying and setDelay may be called from any
// thread.
//
// Frames are counted from the first one ever mixed (the mix frame). play and
// setMute take effect at a mix frame, to the sample:
// - untimed (atNanoseconds < 0, or before the first timed mix): at the first
//   frame of the next mix call, or of the next 1024-frame step inside one;
// - timed: at the mix frame of `atNanoseconds` plus the scheduling delay.
//   The mix frame of a monotonic time comes from the timed mix calls: a call
//   at time t that begins with mix frame F says that F is mixed at t. Until
//   the first timed play or mute, the earliest call relative to its frame
//   sets the line that maps time to frames (a device falls behind its
//   clock, not ahead). From then on the line is held, so that timed calls
//   keep their spacing to the sample: a device whose clock runs fast
//   against the monotonic clock would otherwise carry every later cue late
//   against the music. The delay covers one mix call's frames plus how far
//   the device may come to run ahead of the held line. Calls never take
//   effect before an earlier call or before the next frame still to be
//   mixed; a call whose frame the device has already mixed lands late.
// A channel reads the pass of the stream that was current at its play.
//
// Sync points fire when their frame is committed: the point at offset 0
// inside play, on the caller's thread; a point at offset p on the mixing
// thread, in the step that mixes the mix frame (delay) frames before
// frame p is mixed; never for a frame past the stream's end. A muted channel
// passes sync points. A channel whose stream has ended becomes free.
#pragma once

#include "platform/sound/mix_rate.h"
#include "platform/sound/mixer.h"
#include "platform/sound/spsc_ring.h"

#include <atomic>
#include <cstdint>
#include <vector>

class DecodedStream;

class SoftwareMixer final : public Mixer {
public:
    // Frames mixed per step of mix.
    static constexpr int stepFrames = 1024;
    // Calls waiting to take effect, at most; play and setMute refuse more.
    static constexpr int queuedCalls = 256;

    // `channelCount` in 1..maxChannels (clamped).
    explicit SoftwareMixer(int channelCount);

    int channelCount() const override { return static_cast<int>(channels.size()); }
    void setDelay(int frames) override;
    // False also when queuedCalls calls are waiting.
    bool play(int channel, FSOUND_STREAM* stream, int64_t atNanoseconds = -1) override;
    bool setMute(int channel, bool mute, int64_t atNanoseconds = -1) override;
    // Advances every channel and fires the sync points committed. The
    // streams must stay alive during the call.
    void mix(int16_t* interleavedStereo, int frames, int64_t atNanoseconds = -1) override;

    // Whether a stream was on `channel` at the end of the last mix step.
    bool isPlaying(int channel) const;

private:
    struct Channel {
        FSOUND_STREAM* stream = nullptr;
        DecodedStream* pcm = nullptr;  // the stream's pass this channel reads
        int64_t position = 0;
        int64_t synced = 0;  // sync points below this offset have fired
        bool muted = false;
    };
    enum class Change { Play, Mute, Unmute };
    struct Event {
        int64_t atNanoseconds;
        int channel;
        Change change;
        FSOUND_STREAM* stream;
        DecodedStream* pcm;
        int64_t frame;  // set by the mixing thread
    };

    bool valid(int channel) const { return channel >= 0 && channel < channelCount(); }
    bool post(const Event& event);
    // Mixing thread: moves the queued calls to `events`, each at its frame.
    void receive();
    void apply(const Event& event);
    // Mixes one step into `sum`.
    void mixStep(int frames);
    void mixChannels(int from, int to);

    SpscRing<Event> queue{queuedCalls, 1};
    std::atomic<int64_t> delayFrames{0};
    std::atomic<uint32_t> playing{0};  // bit c: a stream is on channel c
    // The mixing thread's own, sized once.
    std::vector<Channel> channels;
    std::vector<Event> events;  // in frame order; capacity queuedCalls
    int64_t mixedFrames = 0;    // the next mix frame to mix
    bool timed = false;       // a timed mix call has set the line
    bool lineHeld = false;    // a timed play or mute has taken its frame
    int64_t lineNanoseconds = 0;  // the monotonic time of mix frame 0
    std::vector<int32_t> sum;
};
