// The show itself, run by the capture instead of by its window: the same
// start-up, scene, timeline, effects and sound layer, with the show's timer
// set by hand for each frame and the sound mixer pulled on this thread.
//
// Needs a current GL context (the scene makes its textures at start-up).
// There is one show per process: startCapturedShow may be called once.
// Main thread only; this thread is also the mixing thread.
#pragma once

#include <cstddef>
#include <cstdint>

// Seeds the bubbles' generator, puts the manual timer at `timerStart`,
// sends the sound to mixSound, prints "Error" boxes to stderr, runs the
// show's init and then sets the projection for `width` x `height`.
void startCapturedShow(uint32_t seed, uint32_t timerStart, int width, int height);

// How many effects the scene handed the timeline (each brings one start
// and one stop event).
size_t scheduledEffectCount();

// The first millisecond after the start at which the timeline handles its
// last event: no frame from then on is drawn. 0 for an empty timeline.
uint64_t showEndMilliseconds();

// Draws the frame at `milliseconds` after the start into the current
// framebuffer, as the show's display callback does. False once the show is
// over; nothing is drawn then.
bool drawShowFrame(uint64_t milliseconds);

// Mixes the next `frames` stereo sample frames; the music's sync point may
// reset the show clock in here, at the timer count of the frame just drawn.
void mixShowSound(int16_t* interleavedStereo, int frames);
