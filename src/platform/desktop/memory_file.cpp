#include "platform/desktop/memory_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

MemoryFile::MemoryFile(const void* data, size_t length)
    : data(static_cast<const unsigned char*>(data)), size(static_cast<sf_count_t>(length)) {}

SNDFILE* MemoryFile::open(SF_INFO& info) {
    static SF_VIRTUAL_IO io = {&MemoryFile::length, &MemoryFile::seek, &MemoryFile::read, &MemoryFile::write,
                               &MemoryFile::tell};
    info = SF_INFO{};
    position = 0;
    return sf_open_virtual(&io, SFM_READ, &info, this);
}

sf_count_t MemoryFile::length(void* self) { return static_cast<MemoryFile*>(self)->size; }

sf_count_t MemoryFile::seek(sf_count_t offset, int whence, void* self) {
    MemoryFile& file = *static_cast<MemoryFile*>(self);
    sf_count_t base = 0;
    switch (whence) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = file.position; break;
    case SEEK_END: base = file.size; break;
    default: return -1;
    }
    // A header that lies may ask for any offset; refuse what lies outside
    // the block instead of wrapping or clamping silently.
    if ((offset < 0 && -offset > base) || (offset > 0 && offset > file.size - base)) return -1;
    file.position = base + offset;
    return file.position;
}

sf_count_t MemoryFile::read(void* destination, sf_count_t count, void* self) {
    MemoryFile& file = *static_cast<MemoryFile*>(self);
    if (count <= 0) return 0;
    sf_count_t available = std::min(count, file.size - file.position);
    if (available <= 0) return 0;
    std::memcpy(destination, file.data + file.position, static_cast<size_t>(available));
    file.position += available;
    return available;
}

sf_count_t MemoryFile::write(const void*, sf_count_t, void*) { return 0; }

sf_count_t MemoryFile::tell(void* self) { return static_cast<MemoryFile*>(self)->position; }
