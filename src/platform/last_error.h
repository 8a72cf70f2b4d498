// The calling thread's last system error code, in the manner of a platform
// where a failing system call records its code and a successful one leaves
// it alone.
//
// The code is our own thread-local value, not errno: on Linux successful
// library calls (Mesa, libpng, stdio, the X client) often leave errno set,
// and reporting that would show errors nobody raised. None of our layers
// records a code: each failure they meet has a box of its own ("unable to
// load texture: ...", "unable to load sound: ..."), and a code left behind
// would only be reported again under the next check's label. So the code is
// 0 unless a caller sets it. Each thread has its own code, 0 at its start.
#pragma once

#include <cstddef>

int lastErrorCode();
void setLastErrorCode(int code);

// Writes the system's text for `code` into `buffer` (zero-terminated,
// truncated to `size` bytes). An unknown code gives the system's
// "Unknown error" text.
void formatErrorMessage(int code, char* buffer, size_t size);
