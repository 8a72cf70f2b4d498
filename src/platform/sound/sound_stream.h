// What a stream handle of the sound library stands for: the file's bytes,
// the decoded PCM of its current pass, and the sync points. Streams belong
// to the library (fsound.cpp), which frees them all in FSOUND_Close, after
// the mixer has stopped using them.
//
// Threads: the main thread opens passes and sets the callback and the
// points before the first play; from then on the mixing thread reads the
// callback and the points, without a lock, and they stay as they were.
#pragma once

#include "platform/sound/decoded_stream.h"
#include "platform/sound/fsound.h"

#include <cstdint>
#include <memory>
#include <vector>

struct FSOUND_SYNCPOINT {
    uint32_t pcmOffset;  // sample frames from the stream's start
};

struct FSOUND_STREAM {
    FSOUND_STREAM(const void* data, size_t length, std::unique_ptr<DecodedStream> pcm)
        : data(data), length(length), pcm(std::move(pcm)) {}

    // Calls the callback once for each sync point in [from, to).
    void passSyncPoints(int64_t from, int64_t to) {
        for (const auto& point : syncPoints) {
            if (callback && point->pcmOffset >= from && point->pcmOffset < to) callback(this, nullptr, 0, userData);
        }
    }

    const void* data;  // the file, the caller's
    size_t length;
    std::unique_ptr<DecodedStream> pcm;  // the pass the next play reads; never null
    std::vector<std::unique_ptr<DecodedStream>> earlierPasses;  // still read by channels that play them
    bool played = false;
    FSOUND_STREAMCALLBACK callback = nullptr;
    void* userData = nullptr;
    std::vector<std::unique_ptr<FSOUND_SYNCPOINT>> syncPoints;
};
