// Opening streams from memory: what is refused, what a damaged file gives,
// and the decoder that runs behind the mixer.
#include "platform/sound/decoded_stream.h"
#include "platform/sound/mixer.h"
#include "platform/sound/sound_stream.h"
#include "sound_manual_output.h"
#include "sound_test_files.h"

#include <png.h>

#include <cstring>

using namespace soundtest;

namespace {

void put32(std::vector<char>& bytes, size_t at, uint32_t value) { std::memcpy(&bytes[at], &value, 4); }
void put16(std::vector<char>& bytes, size_t at, uint16_t value) { std::memcpy(&bytes[at], &value, 2); }

// A canonical 16-bit mono WAV from libsndfile: "RIFF" size "WAVE", the 16-byte
// "fmt " chunk at 12 (channels at 22, rate at 24), "data" size at 40, samples
// from 44.
std::vector<char> monoRampWav(int frames) {
    std::vector<char> bytes = wav16(ramp(frames), 1);
    EXPECT_EQ(bytes.size(), 44u + 2u * static_cast<size_t>(frames));
    EXPECT_EQ(std::memcmp(&bytes[36], "data", 4), 0);
    return bytes;
}

std::vector<char> pngBytes() {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = 4;
    image.height = 4;
    image.format = PNG_FORMAT_RGBA;
    std::vector<unsigned char> pixels(4 * 4 * 4, 200);
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
    std::vector<char> bytes(size);
    png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels.data(), 0, nullptr);
    bytes.resize(size);
    return bytes;
}

// Decodes everything and returns the mono samples, for streams opened below.
std::vector<int16_t> allSamples(const DecodedStream& stream) {
    while (!stream.finished()) {
    }
    std::vector<int16_t> samples;
    for (int64_t frame = 0; frame < stream.readyFrames(); ++frame) {
        int64_t contiguous = 0;
        samples.push_back(stream.framesAt(frame, contiguous)[0]);
    }
    return samples;
}

}  // namespace

class SoundOpening : public ManualSoundTest {};

TEST_F(SoundOpening, DataThatIsNoSoundGivesANullStream) {
    std::vector<char> noise(4000);
    uint32_t state = 12345;
    for (char& byte : noise) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 16);
    }
    EXPECT_EQ(open(noise), nullptr) << "random bytes";
    std::vector<char> png = pngBytes();
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(open(png), nullptr) << "a PNG";
    std::vector<char> wav = monoRampWav(1000);
    EXPECT_EQ(open(std::vector<char>(wav.begin(), wav.begin() + 20)), nullptr) << "cut inside the format chunk";
    EXPECT_EQ(open(std::vector<char>(wav.begin(), wav.begin() + 44)), nullptr) << "a header and no sample";
    std::vector<char> mp3Bytes = mp3(tone(0, 4410, 440, 0.5, 1), 1);
    EXPECT_EQ(open(std::vector<char>(mp3Bytes.begin(), mp3Bytes.begin() + 100)), nullptr) << "an MP3 cut at 100 bytes";
}

TEST_F(SoundOpening, WavHeaderThatLiesIsRefusedOrBoundedByTheRealData) {
    std::vector<char> wav = monoRampWav(1000);

    std::vector<char> hugeFormat = wav;
    put32(hugeFormat, 16, 0x7ffffff0u);
    EXPECT_EQ(open(hugeFormat), nullptr) << "a format chunk larger than the file";
    std::vector<char> noChannels = wav;
    put16(noChannels, 22, 0);
    EXPECT_EQ(open(noChannels), nullptr);
    std::vector<char> manyChannels = wav;
    put16(manyChannels, 22, 2000);
    EXPECT_EQ(open(manyChannels), nullptr);

    // A data chunk that claims 2 GB plays the 1000 frames there are, then
    // ends: nothing is read past the block.
    std::vector<char> hugeData = wav;
    put32(hugeData, 40, 0xfffffff0u);
    put32(hugeData, 4, 0xfffffff0u);
    FSOUND_STREAM* bounded = open(hugeData);
    ASSERT_NE(bounded, nullptr);
    EXPECT_EQ(allSamples(*bounded->pcm), ramp(1000));
    FSOUND_Stream_Play(0, bounded);
    std::vector<int16_t> out = mix(1200);
    EXPECT_EQ(out[2 * 999], rampValue(999));
    EXPECT_EQ(out[2 * 1000], 0);

    // One that claims less than it holds plays what it claims.
    std::vector<char> shortData = wav;
    put32(shortData, 40, 6);
    FSOUND_STREAM* three = open(shortData);
    ASSERT_NE(three, nullptr);
    EXPECT_EQ(allSamples(*three->pcm), (std::vector<int16_t>{rampValue(0), rampValue(1), rampValue(2)}));
}

TEST_F(SoundOpening, WavCutInsideItsSamplesPlaysTheWholeFramesThatRemain) {
    std::vector<char> wav = monoRampWav(1000);
    FSOUND_STREAM* cut = open(std::vector<char>(wav.begin(), wav.begin() + 44 + 2 * 500 + 1));
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(allSamples(*cut->pcm), ramp(500));
}

TEST_F(SoundOpening, StreamsThatWouldNeedResamplingOrRemixingAreRefused) {
    EXPECT_EQ(open(wav16(ramp(100), 1, 22050)), nullptr) << "22050 Hz";
    EXPECT_EQ(open(wav16(ramp(100), 1, 48000)), nullptr) << "48000 Hz";
    EXPECT_EQ(open(wav16(ramp(99), 3)), nullptr) << "three channels";
    EXPECT_NE(open(wav16(ramp(100), 1, 44100)), nullptr);
}

// An 8-bit mono WAV of `frames` frames of silence (1 byte a frame), written
// by hand: encoding ten minutes through libsndfile would take seconds.
std::vector<char> silentU8Wav(uint32_t frames) {
    std::vector<char> bytes(44 + static_cast<size_t>(frames), static_cast<char>(0x80));
    std::memcpy(&bytes[0], "RIFF", 4);
    put32(bytes, 4, 36 + frames);
    std::memcpy(&bytes[8], "WAVEfmt ", 8);
    put32(bytes, 16, 16);
    put16(bytes, 20, 1);      // PCM
    put16(bytes, 22, 1);      // channels
    put32(bytes, 24, 44100);  // frames per second
    put32(bytes, 28, 44100);  // bytes per second
    put16(bytes, 32, 1);      // bytes per frame
    put16(bytes, 34, 8);      // bits per sample
    std::memcpy(&bytes[36], "data", 4);
    put32(bytes, 40, frames);
    return bytes;
}

TEST_F(SoundOpening, StreamLongerThanTenMinutesIsRefused) {
    const uint32_t tenMinutes = 10 * 60 * 44100;
    EXPECT_EQ(open(silentU8Wav(tenMinutes + 1)), nullptr);
    FSOUND_STREAM* longest = open(silentU8Wav(tenMinutes));
    ASSERT_NE(longest, nullptr) << "exactly ten minutes";
    FSOUND_Stream_Play(0, longest);
    EXPECT_EQ(mix(2)[0], 0) << "8-bit silence (0x80) is 0";
    ASSERT_NE(open(silentU8Wav(1000)), nullptr) << "the hand-made header is a valid WAV";
}

TEST_F(SoundOpening, OpenArgumentsOtherThanAMemoryBlockAreRefused) {
    std::vector<char> wav = wav16(ramp(100), 1);
    const int length = static_cast<int>(wav.size());
    EXPECT_EQ(FSOUND_Stream_Open(wav.data(), 0, 0, length), nullptr) << "a file name is not provided for";
    EXPECT_EQ(FSOUND_Stream_Open(wav.data(), FSOUND_LOADMEMORY, 4, length), nullptr) << "offset";
    EXPECT_EQ(FSOUND_Stream_Open(wav.data(), FSOUND_LOADMEMORY, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_Stream_Open(wav.data(), FSOUND_LOADMEMORY, 0, -5), nullptr);
    EXPECT_EQ(FSOUND_Stream_Open(nullptr, FSOUND_LOADMEMORY, 0, length), nullptr);
}

TEST(SoundDecoder, LongMp3IsPlayableAtOnceAndCompleteInTheEnd) {
    // 20 s of stereo tone, opened with a first chunk of 4096 frames so that
    // the decoder thread does most of the work.
    std::vector<char> bytes = mp3(tone(0, 20 * 44100, 440.0, 0.3, 2), 2);
    std::unique_ptr<DecodedStream> pcm = DecodedStream::open(bytes.data(), bytes.size(), 4096);
    ASSERT_NE(pcm, nullptr);
    EXPECT_EQ(pcm->channels(), 2);
    EXPECT_GE(pcm->readyFrames(), 4096) << "the first chunk is ready when open returns";
    while (!pcm->finished()) {
    }
    EXPECT_EQ(pcm->readyFrames(), 20 * 44100);
}

TEST(SoundDecoder, MixerRacingTheDecoderKeepsPositionsHonest) {
    // The mixer pulls far faster than real time here, so it may overtake the
    // decoder: what is not decoded yet plays as silence, but the position
    // goes on counting every frame mixed, and the channel ends in the first
    // mix after the decoder has found the end.
    const int64_t length = 10 * 44100;
    std::vector<char> bytes = mp3(tone(0, static_cast<int>(length), 440.0, 0.3, 1), 1);
    FSOUND_STREAM stream(DecodedStream::open(bytes.data(), bytes.size(), 4096));
    ASSERT_NE(stream.pcm, nullptr);
    Mixer mixer(2);
    ASSERT_TRUE(mixer.play(1, &stream));
    std::vector<int16_t> out(2 * 1000);
    int64_t mixed = 0;
    bool endKnownBeforeMix = false;
    while (mixer.isPlaying(1)) {
        ASSERT_EQ(mixer.position(1), mixed);
        ASSERT_FALSE(endKnownBeforeMix && mixed >= length) << "still playing at " << mixed << " past the known end";
        endKnownBeforeMix = stream.pcm->finished();
        mixer.mix(out.data(), 1000);
        mixed += 1000;
    }
    EXPECT_GE(mixed, length) << "no channel ends before the stream's last frame";
    ASSERT_TRUE(stream.pcm->finished());
    EXPECT_EQ(stream.pcm->readyFrames(), length);

    // Decoded in full, a second pass ends exactly after the last frame.
    ASSERT_TRUE(mixer.play(1, &stream));
    std::vector<int16_t> whole(2 * static_cast<size_t>(length) - 2);
    mixer.mix(whole.data(), static_cast<int>(length) - 1);
    EXPECT_TRUE(mixer.isPlaying(1)) << "one frame left";
    EXPECT_EQ(mixer.position(1), length - 1);
    mixer.mix(out.data(), 1);
    EXPECT_FALSE(mixer.isPlaying(1));
}

TEST(SoundDecoder, StreamDestroyedWhileDecodingStopsItsDecoder) {
    std::vector<char> bytes = mp3(tone(0, 30 * 44100, 440.0, 0.3, 2), 2);
    std::unique_ptr<DecodedStream> pcm = DecodedStream::open(bytes.data(), bytes.size(), 1);
    ASSERT_NE(pcm, nullptr);
    ASSERT_FALSE(pcm->finished()) << "30 s cannot have been decoded yet";
    // Must stop the decoder between two reads and join it: a decoder left
    // running would read the freed blocks (ASan) or race (TSan), and one
    // that is not stopped would make this take as long as the whole decode.
    pcm.reset();
    EXPECT_EQ(pcm, nullptr);
}
