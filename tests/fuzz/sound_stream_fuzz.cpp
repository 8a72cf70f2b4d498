// libFuzzer target: a sound stream opened from memory and mixed, as the show
// opens its music and samples: FSOUND_Stream_Open with FSOUND_LOADMEMORY on
// the manual output, a sync point at the start, play, and a few seconds of
// mixing with the channel muted and unmuted on the way. Every input is
// closed before the next, so nothing is kept between inputs.
#include "platform/sound/fsound.h"
#include "platform/sound/sound_output.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <vector>

// Long enough to take a streamed stream past its head and a lap of its
// ring; mixing longer shows nothing new.
const int mixFrames = 4 * 44100;
const int stepFrames = 4410;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > INT_MAX) return 0;
    setSoundOutput(SoundOutput::Manual);
    FSOUND_Init(44100, 2, 0);
    // The stream reads from the block while it exists, as the show's memory
    // blocks outlive their streams; this one outlives FSOUND_Close below.
    std::vector<char> block(data, data + size);
    const unsigned int mode = FSOUND_LOADMEMORY | (data[0] & 1 ? FSOUND_MPEGACCURATE : 0);
    FSOUND_STREAM* stream = FSOUND_Stream_Open(block.data(), mode, 0, static_cast<int>(size));
    if (stream) {
        // The callback does nothing: calling it is what is exercised.
        FSOUND_Stream_SetSyncCallback(stream, [](FSOUND_STREAM*, void*, int, void*) -> signed char { return 0; }, nullptr);
        FSOUND_Stream_AddSyncPoint(stream, 0, "");
        FSOUND_Stream_Play(0, stream);
        std::vector<int16_t> out(2 * stepFrames);
        for (int mixed = 0, step = 0; mixed < mixFrames; mixed += stepFrames, ++step) {
            if (step % 7 == 3) FSOUND_SetMute(0, 1);
            if (step % 7 == 5) FSOUND_SetMute(0, 0);
            mixSound(out.data(), stepFrames);
        }
    }
    FSOUND_Close();
    return 0;
}
