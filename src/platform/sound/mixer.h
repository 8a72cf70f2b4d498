// The channel mixer: sums the streams playing on a fixed number of channels
// into 44100 Hz interleaved stereo 16-bit output. Mono streams go to both
// sides; the sum is clamped to the 16-bit range. Nothing is resampled.
//
// Threads: play, setMute and the queries run on the main thread; mix runs on
// the mixing thread (the audio device's callback, or the caller of
// mixSound). Channel state is guarded by one lock, which both sides hold only
// briefly; sync callbacks are called with no lock held.
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
// A stream played on a channel replaces what played there at that frame. A
// streamed stream (DecodedStream::streamed) plays on one channel at a time:
// playing it again moves it there, from its first frame.
//
// Sync points fire when their frame is committed: the point at offset 0
// inside play, on the caller's thread; a point at offset p on the mixing
// thread, after the step that mixes the mix frame (delay) frames before
// frame p is mixed; never for a frame past the stream's end. A muted channel
// goes on advancing and passing sync points. A channel whose stream has
// ended becomes free.
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
    static constexpr int rate = 44100;

    // `channelCount` in 1..maxChannels (clamped).
    explicit Mixer(int channelCount);

    int channelCount() const { return static_cast<int>(channels.size()); }
    // The scheduling delay of timed calls in frames (>= 0; 0 at first). Set
    // before the first timed call.
    void setDelay(int frames);

    // Plays `stream` from its first frame on `channel`, replacing what plays
    // there; the channel's mute flag is kept. False for a bad channel or a
    // null stream.
    bool play(int channel, FSOUND_STREAM* stream, int64_t atNanoseconds = -1);
    // False for a bad channel.
    bool setMute(int channel, bool mute, int64_t atNanoseconds = -1);
    // Empties every channel and drops what is still to take effect; mute
    // flags are kept.
    void stopAll();

    // Whether a stream is on `channel` now, and its position in frames (0
    // when none).
    bool isPlaying(int channel) const;
    int64_t position(int channel) const;

    // Mixes the next `frames` frames into `interleavedStereo` (2 * frames
    // samples), advancing every channel and firing the sync points
    // committed. `atNanoseconds`: the monotonic time of the call, or -1 for
    // an untimed mix. The streams must stay alive during the call.
    void mix(int16_t* interleavedStereo, int frames, int64_t atNanoseconds = -1);

private:
    struct Channel {
        FSOUND_STREAM* stream = nullptr;
        int64_t position = 0;
        int64_t synced = 0;  // sync points below this offset have fired
        bool muted = false;
    };
    enum class Change { Play, Mute, Unmute };
    struct Event {
        int64_t frame;
        int channel;
        Change change;
        FSOUND_STREAM* stream;
    };
    struct Passage {
        FSOUND_STREAM* stream;
        int64_t from, to;
    };

    bool valid(int channel) const { return channel >= 0 && channel < channelCount(); }
    // Under the lock: queues a change at the frame of `atNanoseconds`.
    void schedule(Event event, int64_t atNanoseconds);
    void apply(const Event& event);
    // Under the lock: mixes one step into `sum`, noting the sync passages.
    void mixStep(int frames);
    void mixChannels(int from, int to);
    void accumulate(const Channel& channel, int64_t from, int64_t to, int32_t* out);

    mutable std::mutex lock;
    int64_t delayFrames = 0;
    std::vector<Channel> channels;
    std::vector<Event> events;  // in frame order
    int64_t mixedFrames = 0;    // the next mix frame to mix
    bool timed = false;       // a timed mix call has set the line
    bool lineHeld = false;    // a timed play or mute has been scheduled
    int64_t lineNanoseconds = 0;  // the monotonic time of mix frame 0
    // The mixing thread's own, sized once, so that mixing seldom allocates.
    std::vector<int32_t> sum;
    std::vector<Passage> passages;
};
