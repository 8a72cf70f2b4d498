// The calling thread's last system error code, in the manner of a platform
// where a failing system call records its code and a successful one leaves
// it alone.
//
// The code is our own thread-local value, not errno: on Linux successful
// library calls (Mesa, libpng, stdio, the X client) often leave errno set,
// and reporting that would show errors nobody raised. Our platform layers
// record errno here at the moment one of their own system calls fails.
// Each thread has its own code, 0 at the thread's start.
#pragma once

#include <cstddef>

int lastErrorCode();
void setLastErrorCode(int code);

// Writes the system's text for `code` into `buffer` (zero-terminated,
// truncated to `size` bytes). An unknown code gives the system's
// "Unknown error" text.
void formatErrorMessage(int code, char* buffer, size_t size);
