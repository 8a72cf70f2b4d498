// Memory the show frees goes back to the system instead of staying in the
// process's heap, where the C library allows it (glibc); elsewhere both
// calls do nothing.
//
// Main thread only.
#pragma once

// Freed large buffers (decoded images, sound files) are unmapped at once.
// Call first thing, before anything large is allocated.
void returnLargeBuffersWhenFreed();
// Gives back the heap pages that are free now; call once loading is done.
void releaseFreedHeap();
