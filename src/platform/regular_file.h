// Opening a data file for reading, refusing anything that is not a regular
// file: a named pipe (FIFO) with no writer would hold open() and then read()
// forever, and a directory or a device is no data file either.
//
// Neither prints anything nor sets the last error code
// (platform/last_error.h); callers report failures in their own words. Safe
// to call from any thread.
#pragma once

#include <cstdio>

// `path` opened for binary reading if it is a regular file (or a link to
// one), else null (also for a null or missing path). Never blocks on a FIFO.
// The caller closes the stream with fclose.
std::FILE* openRegularFile(const char* path);
