// What a stream handle of the sound library stands for: the decoded PCM and
// the sync points. Streams belong to the library (fsound.cpp), which frees
// them all in FSOUND_Close, after the mixer has stopped using them.
#pragma once

#include "platform/sound/decoded_stream.h"
#include "platform/sound/sync_points.h"

#include <memory>

struct FSOUND_STREAM {
    explicit FSOUND_STREAM(std::unique_ptr<DecodedStream> pcm) : pcm(std::move(pcm)) {}

    const std::unique_ptr<DecodedStream> pcm;  // never null
    SyncPoints syncPoints;
};
