// The generated sounds: formats the show's sound layer accepts, onsets at
// the first sample (the show fires samples at fixed moments), the blubs and
// the impact where the picture needs them, and music that plays through
// the whole show.
#include "assets/decoded_sound.h"

#include <gtest/gtest.h>

namespace {

const double onsetWindow = 0.001;  // s
const double onsetFraction = 0.1;  // of the loudest millisecond: -20 dB

DecodedSound sample(const char* name) { return decodeSound(std::string("data/") + name); }

void expectSampleFormat(const DecodedSound& sound) {
    ASSERT_TRUE(sound.opened);
    EXPECT_EQ(sound.sampleRate, 44100);
    EXPECT_EQ(sound.format & SF_FORMAT_TYPEMASK, SF_FORMAT_WAV);
    EXPECT_EQ(sound.format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16);
    EXPECT_GE(sound.channels, 1);
    EXPECT_LE(sound.channels, 2);
    // Loud enough to be heard over the music, with headroom for the sum.
    EXPECT_GT(sound.channelPeak, 0.5f);
    EXPECT_LT(sound.channelPeak, 0.8f);
}

TEST(SampleTest, EverySampleIsPcm16At44100AndStartsAtItsFirstSample) {
    for (const char* name : {"spinefin.wav", "carcrash.wav", "juice.wav", "tolvane.wav"}) {
        SCOPED_TRACE(name);
        DecodedSound sound = sample(name);
        expectSampleFormat(sound);
        EXPECT_LT(sound.energyOnset(onsetWindow, onsetFraction), 0.005);
        // Not a click: there is sound for a good part of a second.
        EXPECT_GT(sound.rms(0, 0.1), 0.05);
    }
}

TEST(SampleTest, TheFishBlubsTwiceAtTheMouthOpenings) {
    DecodedSound blubs = sample("spinefin.wav");
    ASSERT_TRUE(blubs.opened);
    // The first blub has died down before 0.2 s; the second attacks there.
    double before = blubs.rms(0.185, 0.199);
    double after = blubs.rms(0.2, 0.214);
    EXPECT_GT(after, 4 * before);
    EXPECT_GT(after, 0.5 * blubs.rms(0, 0.014));
    // Both are done by the time the mouth closes for good (0.4 s on).
    EXPECT_LT(blubs.rms(0.42, blubs.seconds()), 0.1 * blubs.rms(0, 0.05));
    EXPECT_LT(blubs.seconds(), 1.0);
}

TEST(SampleTest, TheCrashWhistlesFromTheStartAndHits2Point1SecondsIn) {
    DecodedSound crash = sample("carcrash.wav");
    ASSERT_TRUE(crash.opened);
    // The whistle is clearly there all the way down.
    for (double t = 0; t < 2.05; t += 0.1) EXPECT_GT(crash.rms(t, t + 0.05), 0.08) << "at " << t << " s";
    double impact = crash.loudestAt(0.01, 0.001);
    EXPECT_GE(impact, 2.09);
    EXPECT_LE(impact, 2.13);
    EXPECT_GT(crash.rms(2.1, 2.12), 1.5 * crash.rms(2.05, 2.09));
    // Debris after the impact, then quiet at the end.
    EXPECT_GT(crash.rms(2.5, 3.5), 0.01);
    EXPECT_LT(crash.rms(crash.seconds() - 0.1, crash.seconds()), 0.01);
}

TEST(SampleTest, TheVoiceLastsAboutOneAndAHalfSeconds) {
    DecodedSound voice = sample("tolvane.wav");
    ASSERT_TRUE(voice.opened);
    EXPECT_GT(voice.seconds(), 1.2);
    EXPECT_LT(voice.seconds(), 2.0);
    // Two syllables with a stop between them.
    EXPECT_GT(voice.rms(0.1, 0.3), 0.1);
    EXPECT_LT(voice.rms(0.43, 0.5), 0.2 * voice.rms(0.1, 0.3));
    EXPECT_GT(voice.rms(0.7, 1.0), 0.1);
}

TEST(MusicTest, IsStereo44100AndAtLeastTheShowsLength) {
    DecodedSound music = sample("kelpwake.mp3");
    ASSERT_TRUE(music.opened);
    EXPECT_EQ(music.format & SF_FORMAT_TYPEMASK, SF_FORMAT_MPEG);
    EXPECT_EQ(music.sampleRate, 44100);
    EXPECT_EQ(music.channels, 2);
    EXPECT_GE(music.seconds(), 68.5);
    EXPECT_LT(music.seconds(), 72.0);
    // About -6 dBFS, so that samples summed on top do not clip badly.
    EXPECT_LT(music.channelPeak, 0.6f);
    EXPECT_GT(music.channelPeak, 0.35f);
}

TEST(MusicTest, PlaysWithoutGapsFromTheFadeInToTheFadeOut) {
    DecodedSound music = sample("kelpwake.mp3");
    ASSERT_TRUE(music.opened);
    const double window = 0.05;
    const double audible = 0.02;  // -34 dBFS
    int quiet = 0;
    for (double t = 0.5; t + window <= 66.5; t += window) {
        double level = music.rms(t, t + window);
        if (level < audible) {
            ++quiet;
            ADD_FAILURE() << "quiet at " << t << " s: rms " << level;
            if (quiet > 5) break;
        }
    }
    // Around the mute, where the show's checks listen.
    EXPECT_GT(music.rms(39.5, 40.1), 0.05);
    EXPECT_GT(music.rms(45.2, 46.0), 0.05);
    // Faded out by the end of the show.
    EXPECT_LT(music.rms(68.4, 68.5), 0.005);
}

}  // namespace
