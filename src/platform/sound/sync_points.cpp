#include "platform/sound/sync_points.h"

void SyncPoints::setCallback(FSOUND_STREAMCALLBACK newCallback, void* newUserData) {
    std::lock_guard<std::mutex> guard(lock);
    callback = newCallback;
    userData = newUserData;
}

FSOUND_SYNCPOINT* SyncPoints::add(uint32_t pcmOffset, const char* name) {
    std::lock_guard<std::mutex> guard(lock);
    points.push_back(std::unique_ptr<FSOUND_SYNCPOINT>(new FSOUND_SYNCPOINT{pcmOffset, name ? name : ""}));
    return points.back().get();
}

SyncPoints::Passed SyncPoints::passedIn(int64_t from, int64_t to) const {
    std::lock_guard<std::mutex> guard(lock);
    Passed passed;
    if (!callback) return passed;
    passed.callback = callback;
    passed.userData = userData;
    for (const auto& point : points) {
        if (point->pcmOffset >= from && point->pcmOffset < to) ++passed.count;
    }
    return passed;
}
