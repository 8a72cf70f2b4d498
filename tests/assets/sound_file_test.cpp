// The generator's sound writers: WAV as 16-bit PCM with clipping, MP3 as
// stereo that decodes back to the same length and the same sides.
#include "assets/decoded_sound.h"
#include "output/sound_file.h"
#include "synth/oscillators.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

TEST(SoundFileTest, WavIsSixteenBitMonoAndClipsOutOfRangeSamples) {
    const std::string path = testing::TempDir() + "vesk_sound_file_test.wav";
    ASSERT_TRUE(writeWavFile(path, Mono{0.5f, 1.5f, -2.0f, 0.0f}));
    DecodedSound sound = decodeSound(path);
    ASSERT_TRUE(sound.opened);
    EXPECT_EQ(sound.sampleRate, 44100);
    EXPECT_EQ(sound.channels, 1);
    EXPECT_EQ(sound.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    ASSERT_EQ(sound.mono.size(), 4u);
    EXPECT_NEAR(sound.mono[0], 0.5f, 1.0f / 32768);
    EXPECT_NEAR(sound.mono[1], 1.0f, 1.0f / 32768);
    EXPECT_NEAR(sound.mono[2], -1.0f, 1.0f / 32768);
    EXPECT_EQ(sound.mono[3], 0.0f);
    EXPECT_FALSE(writeWavFile(testing::TempDir() + "no/such/dir/x.wav", Mono{0.0f}));
    std::remove(path.c_str());
}

TEST(SoundFileTest, Mp3KeepsLengthAndSides) {
    const std::string path = testing::TempDir() + "vesk_sound_file_test.mp3";
    // One second: a tone on the left only, silence on the right.
    Stereo music(44100);
    SineOscillator tone;
    for (size_t i = 0; i < music.frames(); ++i) music.left[i] = float(0.5 * tone.next(440));
    ASSERT_TRUE(writeMp3File(path, music));

    SF_INFO info;
    std::memset(&info, 0, sizeof info);
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.samplerate, 44100);
    // The gapless header trims the encoder's padding: same length back.
    EXPECT_EQ(info.frames, 44100);
    std::vector<float> frames(size_t(info.frames) * 2);
    sf_count_t got = sf_readf_float(file, frames.data(), info.frames);
    sf_close(file);
    ASSERT_EQ(got, info.frames);
    double left = 0, right = 0;
    for (size_t i = 4410; i < size_t(got) - 4410; ++i) {
        left += double(frames[2 * i]) * frames[2 * i];
        right += double(frames[2 * i + 1]) * frames[2 * i + 1];
    }
    EXPECT_GT(left, 0.1 * 0.125 * 35280);  // a 0.5 sine has a mean square of 0.125
    EXPECT_LT(right, 1e-4 * left);
    std::remove(path.c_str());
}

}  // namespace
