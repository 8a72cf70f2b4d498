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

// Every sample of `stream`, read 1000 frames at a time, waiting for frames
// not decoded yet; the reader's position never goes back.
static std::vector<int16_t> readAll(DecodedStream& stream) {
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

TEST(SndfileStream, A16BitWavIsReadWhereItsSamplesLie) {
    const std::vector<char> bytes = wav16({1, 2, 3, 4, 5, 6}, 2);
    std::unique_ptr<DecodedStream> stream = DecodedStream::open(bytes.data(), bytes.size(), DecodedStream::Reading::Pulled);
    ASSERT_TRUE(stream);
    int64_t contiguous = 0;
    EXPECT_EQ(reinterpret_cast<const char*>(stream->framesAt(0, contiguous)), bytes.data() + bytes.size() - 12);
    EXPECT_EQ(contiguous, 3);
    EXPECT_EQ(reinterpret_cast<const char*>(stream->framesAt(1, contiguous)), bytes.data() + bytes.size() - 8);
    EXPECT_EQ(contiguous, 2);
    EXPECT_FALSE(stream->streamed());
    EXPECT_EQ(readAll(*stream), (std::vector<int16_t>{1, 2, 3, 4, 5, 6}));
}

// A file no longer than its ring is decoded whole at open; a longer one
// streams through its ring, which a decoder thread fills ahead of its reader.
TEST(SndfileStream, AFileAsLongAsItsRingIsDecodedWholeALongerOneStreamsExactly) {
    const struct { int samples, channels; DecodedStream::Reading reading; bool streamed; } cases[] = {
        {int(SndfileStream::ringFrames), 1, DecodedStream::Reading::Pulled, false},
        {200000, 2, DecodedStream::Reading::Thread, true},
    };
    for (const auto& c : cases) {
        const std::vector<int16_t> r = ramp(c.samples);
        const std::vector<char> bytes = encode(r, c.channels, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
        std::unique_ptr<DecodedStream> stream = DecodedStream::open(bytes.data(), bytes.size(), c.reading);
        ASSERT_TRUE(stream) << c.samples;
        EXPECT_EQ(stream->streamed(), c.streamed) << c.samples;
        EXPECT_EQ(readAll(*stream), r) << c.samples;
    }
}
