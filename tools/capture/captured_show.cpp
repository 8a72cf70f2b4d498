#include "captured_show.h"

#include "app/shell.h"
#include "app/show_clock.h"
#include "frame_timing.h"
#include "platform/dialog.h"
#include "platform/random.h"
#include "platform/sound/sound_output.h"
#include "platform/timer.h"
#include "timeline/timeline.h"

#include <GL/gl.h>

#include <cmath>

namespace {

uint32_t timerStart = 0;

void setTimerAt(uint64_t milliseconds) {
    // Wrapping past 2^32 is the show clock's business, as with the real timer.
    setManualTimer(static_cast<uint32_t>(timerStart + milliseconds));
}

}  // namespace

void startCapturedShow(uint32_t seed, uint32_t start, int width, int height) {
    timerStart = start;
    seedRandom(seed);
    // The timer stands still through start-up, so both resets of the show
    // clock (in init, and at the music's first mixed sample in frame 0)
    // take the same base.
    useManualTimer(start);
    setSoundOutput(SoundOutput::Manual);
    setErrorBoxHandler(printErrorToStderr);
    init();
    reshape(width, height);
}

size_t scheduledEffectCount() { return timeline.scheduledEvents().size() / 2; }

uint64_t showEndMilliseconds() {
    const Timeline::EventList& events = timeline.scheduledEvents();
    if (events.empty()) return 0;
    const float last = events.rbegin()->time;
    // The clock itself is asked, so that its rounding decides: start a
    // little before the naive answer and step up to the first millisecond
    // at which the last event is due.
    double guess = std::floor(static_cast<double>(last) * 1000.0) - 2;
    uint64_t milliseconds = guess > 0 ? static_cast<uint64_t>(guess) : 0;
    while (milliseconds < maxShowMilliseconds) {
        setTimerAt(milliseconds);
        if (last <= showClock.now()) break;
        ++milliseconds;
    }
    setTimerAt(0);
    return milliseconds;
}

bool drawShowFrame(uint64_t milliseconds) {
    setTimerAt(milliseconds);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    return timeline.run();
}

void mixShowSound(int16_t* interleavedStereo, int frames) { mixSound(interleavedStereo, frames); }
