// Opening a data file for reading, refusing anything that is not a regular
// file: a named pipe (FIFO) with no writer would hold open() and then read()
// forever, and a directory or a device is no data file either.
//
// Neither prints anything nor sets the last error code
// (platform/last_error.h); callers report failures in their own words. Safe
// to call from any thread.
#pragma once

#include <cstdio>
#include <memory>

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
// An open stream, closed when its owner goes.
using FileStream = std::unique_ptr<std::FILE, CloseFile>;

// `path` opened for binary reading if it is a regular file (or a link to
// one), else null (also for a null or missing path). Never blocks on a FIFO.
FileStream openRegularFile(const char* path);
