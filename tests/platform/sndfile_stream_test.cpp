// Streams read as the mixer reads them, by take and framesAt: a 16-bit WAV
// file in place, a file as long as the ring decoded whole, and a long one
// through its ring filled by a decoder thread (the pulled ring is the
// library's replay test).
#include "platform/desktop/sndfile_stream.h"
#include "sound_test_files.h"

#include <gtest/gtest.h>

#include <thread>
#include <type_traits>

using namespace soundtest;

static_assert(!std::is_copy_constructible_v<DecodedStream>);
static_assert(!std::is_copy_assignable_v<DecodedStream>);

namespace {

// Every sample of `stream`, read 1000 frames at a time, waiting for frames
// not decoded yet; the reader's position never goes back.
std::vector<int16_t> readAll(DecodedStream& stream) {
    std::vector<int16_t> samples;
    int64_t position = 0;
    for (DecodedStream::Ready ready{0, false}; !ready.ended || position < ready.end;) {
        ready = stream.take(position, position + 1000);
        if (ready.end <= position) std::this_thread::yield();
        for (int64_t contiguous = 0; position < std::min(ready.end, position + 1000); position += contiguous) {
            const int16_t* at = stream.framesAt(position, contiguous);
            contiguous = std::min(contiguous, ready.end - position);
            samples.insert(samples.end(), at, at + contiguous * stream.channels());
        }
    }
    return samples;
}

std::unique_ptr<DecodedStream> open(const std::vector<char>& bytes, DecodedStream::Reading reading) {
    return DecodedStream::open(bytes.data(), bytes.size(), reading);
}

}  // namespace

TEST(SndfileStream, A16BitWavIsReadWhereItsSamplesLie) {
    const std::vector<char> bytes = wav16({1, 2, 3, 4, 5, 6}, 2);
    std::unique_ptr<DecodedStream> stream = open(bytes, DecodedStream::Reading::Pulled);
    ASSERT_TRUE(stream);
    int64_t contiguous = 0;
    EXPECT_EQ(reinterpret_cast<const char*>(stream->framesAt(0, contiguous)), bytes.data() + bytes.size() - 12);
    EXPECT_EQ(contiguous, 3);
    EXPECT_EQ(reinterpret_cast<const char*>(stream->framesAt(1, contiguous)), bytes.data() + bytes.size() - 8);
    EXPECT_EQ(contiguous, 2);
    EXPECT_FALSE(stream->streamed());
    EXPECT_EQ(readAll(*stream), (std::vector<int16_t>{1, 2, 3, 4, 5, 6}));
}

TEST(SndfileStream, AFileNoLongerThanItsRingIsDecodedWholeAtOpen) {
    const std::vector<int16_t> r = ramp(int(SndfileStream::ringFrames));
    const std::vector<char> bytes = encode(r, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    std::unique_ptr<DecodedStream> stream = open(bytes, DecodedStream::Reading::Pulled);
    ASSERT_TRUE(stream);
    EXPECT_FALSE(stream->streamed());
    EXPECT_EQ(readAll(*stream), r);
}

TEST(SndfileStream, ADecoderThreadFillsTheRingAheadOfItsReaderExactly) {
    const std::vector<int16_t> r = ramp(200000);
    const std::vector<char> bytes = encode(r, 2, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    std::unique_ptr<DecodedStream> stream = open(bytes, DecodedStream::Reading::Thread);
    ASSERT_TRUE(stream);
    EXPECT_EQ(readAll(*stream), r);
}
