// A stream's sync points and its sync callback.
//
// The main thread adds points and sets the callback; the mixing thread asks
// which points a stretch of playback passed. Each is guarded by the object's
// own lock, held only inside these calls, so the mixing thread calls the
// callback with no lock held and a callback may call back into the library.
#pragma once

#include "platform/sound/fsound.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct FSOUND_SYNCPOINT {
    uint32_t pcmOffset;  // sample frames from the stream's start
    std::string name;
};

class SyncPoints {
public:
    struct Passed {
        FSOUND_STREAMCALLBACK callback = nullptr;
        void* userData = nullptr;
        int count = 0;  // points passed; the callback is to be called once for each
    };

    void setCallback(FSOUND_STREAMCALLBACK callback, void* userData);
    // The point stays owned by this object.
    FSOUND_SYNCPOINT* add(uint32_t pcmOffset, const char* name);
    // The points whose offset lies in [from, to), with the callback to call.
    // Count 0 when there is none or no callback is set.
    Passed passedIn(int64_t from, int64_t to) const;

private:
    mutable std::mutex lock;
    FSOUND_STREAMCALLBACK callback = nullptr;
    void* userData = nullptr;
    std::vector<std::unique_ptr<FSOUND_SYNCPOINT>> points;
};
