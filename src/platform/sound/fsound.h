// The show's sound library: streams decoded from memory, mixed on a fixed
// number of channels at 44100 Hz stereo, with sync points and mute.
//
// Threads: every call here is made from the main thread. The sound device's
// callback thread (the mixing thread) runs the mixer and calls the sync
// callbacks, which must not call FSOUND_Stream_Play or FSOUND_SetMute (with
// the manual output they may: they run inside mixSound, on the caller's
// thread). No result needs examining: a call given a null stream does
// nothing and reports failure, and with no audio device every call still
// behaves as below, silently.
#pragma once

struct FSOUND_STREAM;
struct FSOUND_SYNCPOINT;

// Called on the mixing thread when playback passes a sync point. The buffer
// and length arguments are not used by this library (null and 0); the
// result is ignored.
typedef signed char (*FSOUND_STREAMCALLBACK)(FSOUND_STREAM* stream, void* buffer, int length, void* userData);

// Open modes.
const unsigned int FSOUND_LOADMEMORY = 0x8000;     // the name argument is the data itself, the length its size
const unsigned int FSOUND_MPEGACCURATE = 0x20000;  // accepted; MPEG positions are always sample-accurate here

// Starts the sound system: `mixRate` must be 44100, `channelCount` software
// channels (at most 32), `flags` 0; other values give 0. Returns 1 on
// success, and when already initialised; with no audio device it still
// returns 1 and mixes nothing.
signed char FSOUND_Init(int mixRate, int channelCount, unsigned int flags);
// Stops the device and releases every stream. Safe to call twice, or without
// FSOUND_Init. Handles kept past it count as null from then on.
void FSOUND_Close();

// Opens a WAV or MP3 stream. With FSOUND_LOADMEMORY, `nameOrData` points at
// `length` bytes that must stay alive while the stream exists; `offset` must
// be 0. Returns null when the data cannot be decoded, is not 44100 Hz mono
// or stereo (nothing is resampled), or would hold more than 10 minutes;
// without FSOUND_LOADMEMORY (file names are not provided for) too. May be
// called before FSOUND_Init; the stream belongs to the library until
// FSOUND_Close. A 16-bit PCM WAV is played from `nameOrData` itself, and any
// other stream of at most 2 s is decoded whole before this returns; a longer
// one returns once its first half second is decoded, and the rest is
// decoded on a thread of the stream's own, well ahead of playback.
FSOUND_STREAM* FSOUND_Stream_Open(const char* nameOrData, unsigned int mode, int offset, int length);
// Sets the stream's sync callback (null to remove it). Returns 1; 0 for a
// null stream, or one that has played (from its first play on, the mixing
// thread reads the callback and the points without a lock).
signed char FSOUND_Stream_SetSyncCallback(FSOUND_STREAM* stream, FSOUND_STREAMCALLBACK callback, void* userData);
// Adds a sync point at `pcmOffset` (in sample frames). The callback fires
// each time playback commits that frame to the mix: offset 0 inside
// FSOUND_Stream_Play, on the caller's thread; a later one on the mixing
// thread, one scheduling delay before it is mixed (with the manual output,
// in the mixSound call that mixes it). Returns null for a null stream or
// one that has played. The name is not kept.
FSOUND_SYNCPOINT* FSOUND_Stream_AddSyncPoint(FSOUND_STREAM* stream, unsigned int pcmOffset, const char* name);
// Plays the stream from its start on `channel`, replacing whatever played
// there. A long stream played again is decoded again from its bytes, on the
// calling thread; a channel still playing it plays on where it was. With a
// device, the first frame is mixed exactly one scheduling delay (the
// device's: docs/sound.md gives the desktop's figure) after
// the moment of the call, to the sample: a stream played t seconds after
// the music lands t seconds into it, and everything heard lags the call by
// that delay plus the device's own latency. With the manual output it is
// the first frame of the next mixSound call. Returns the channel, or -1
// for a null stream, a bad channel or before FSOUND_Init.
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);
// Mutes (non-zero) or unmutes (0) `channel`, at the mix frame of the call
// as for FSOUND_Stream_Play. A muted channel keeps
// advancing, so after an unmute it plays where it would have been. The mute
// state belongs to the channel and survives a new Play. Returns 1, or 0 for a
// bad channel or before FSOUND_Init.
signed char FSOUND_SetMute(int channel, signed char mute);
