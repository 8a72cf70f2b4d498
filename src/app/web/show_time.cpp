// For the page: the show time that the frame about to be drawn will see,
// so that a recording of the canvas can be matched with the show's own
// frames. Reads the show clock only; the show is unchanged by it.
#include "app/show_clock.h"

#include <emscripten.h>

extern "C" EMSCRIPTEN_KEEPALIVE float webShowTime() { return showClock.now(); }
