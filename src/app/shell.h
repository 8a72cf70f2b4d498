// The program's top level: the start-up sequence and the window toolkit's
// callbacks. All of it runs on the main thread, which owns the GL context.
#pragma once

// GL state, sound system, scene set-up and the start of the music, in that
// order; run once, after the window and its GL context exist.
void init();

// Sets the viewport and an orthographic projection in which the shorter
// side of the window spans -1 to 1 and the longer side extends in
// proportion. A window with no area keeps the projection it had.
void reshape(int width, int height);

// One frame: clears, runs the timeline, swaps. Exits the process with status
// 0, without swapping, once the timeline has nothing left.
void display();

// Asks for the next frame at once: no frame-rate limit. While the window
// gets no frames (hidden or covered), runs the timeline itself, unshown.
void idle();

// Exit handler: closes the sound system.
void closeSound();

// The music's sync callback, on the sound library's mixing thread: zeroes
// the show clock each time playback passes the start of the music.
signed char onSyncPoint(struct FSOUND_STREAM* stream, void* buffer, int length, void* userData);
