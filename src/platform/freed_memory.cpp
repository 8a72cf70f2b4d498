#include "platform/freed_memory.h"

#include <cstdlib>  // defines __GLIBC__ where it applies
#ifdef __GLIBC__
#include <malloc.h>
#endif

void returnLargeBuffersWhenFreed() {
#ifdef __GLIBC__
    // Left to itself glibc raises this threshold at the first such free and
    // keeps later large buffers in the heap.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}

void releaseFreedHeap() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}
