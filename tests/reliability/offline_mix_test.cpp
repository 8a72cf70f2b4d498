// The offline mix (the manual output, as the capture tool pulls it) must not
// depend on how far a decoder thread has come: pulled at once, faster than
// any decoder, a long stream still plays whole, with no stretch of silence.
#include "platform/sound/fsound.h"
#include "platform/sound/sound_output.h"
#include "platform/sound_test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// The longest run of silent stereo frames in [from, to).
int longestSilence(const std::vector<int16_t>& stereo, size_t from, size_t to) {
    int longest = 0, run = 0;
    for (size_t frame = from; frame < to; ++frame) {
        run = stereo[2 * frame] == 0 && stereo[2 * frame + 1] == 0 ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

TEST(OfflineMix, ALongStreamMixedAtOnceHasNoGaps) {
    const int frames = 60 * 44100;
    std::vector<char> bytes = soundtest::mp3(soundtest::tone(0, frames, 440.0, 0.3, 2), 2);
    ASSERT_FALSE(bytes.empty());

    setSoundOutput(SoundOutput::Manual);
    ASSERT_EQ(FSOUND_Init(44100, 2, 0), 1);
    FSOUND_STREAM* stream = FSOUND_Stream_Open(bytes.data(), FSOUND_LOADMEMORY, 0, static_cast<int>(bytes.size()));
    ASSERT_NE(stream, nullptr);
    ASSERT_EQ(FSOUND_Stream_Play(0, stream), 0);
    std::vector<int16_t> mix(2 * static_cast<size_t>(frames));
    mixSound(mix.data(), frames);
    FSOUND_Close();
    setSoundOutput(SoundOutput::Device);

    // Past the encoder's lead-in a 440 Hz tone is silent for a frame or two
    // at its zero crossings, never for longer.
    EXPECT_LT(longestSilence(mix, 4410, static_cast<size_t>(frames) - 4410), 8);
}

}  // namespace
