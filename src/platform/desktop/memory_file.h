// A read-only block of memory seen by libsndfile as a file, through
// sf_open_virtual. The block is borrowed: it must outlive every SNDFILE
// opened on it. Reads and seeks never leave [0, length].
#pragma once

#include <sndfile.h>

#include <cstddef>

class MemoryFile {
public:
    MemoryFile(const void* data, size_t length);

    // Opens the block for reading; null when libsndfile cannot decode it.
    // `info` receives the format, rate, channel count and claimed frame count.
    SNDFILE* open(SF_INFO& info);

private:
    static sf_count_t length(void* self);
    static sf_count_t seek(sf_count_t offset, int whence, void* self);
    static sf_count_t read(void* destination, sf_count_t count, void* self);
    static sf_count_t write(const void* source, sf_count_t count, void* self);
    static sf_count_t tell(void* self);

    const unsigned char* data;
    sf_count_t size;
    sf_count_t position = 0;
};
