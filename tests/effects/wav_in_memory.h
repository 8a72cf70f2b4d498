// 16-bit mono WAV files built in memory with libsndfile's virtual I/O, for
// cue tests that open them as memory streams the way the show does.
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace wav_in_memory {

struct Buffer {
    std::vector<char> bytes;
    sf_count_t position = 0;
};

inline sf_count_t length(void* user) { return static_cast<sf_count_t>(static_cast<Buffer*>(user)->bytes.size()); }

inline sf_count_t seek(sf_count_t offset, int whence, void* user) {
    Buffer* buffer = static_cast<Buffer*>(user);
    sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? buffer->position : length(user);
    buffer->position = base + offset;
    return buffer->position;
}

inline sf_count_t read(void* to, sf_count_t count, void* user) {
    Buffer* buffer = static_cast<Buffer*>(user);
    sf_count_t available = length(user) - buffer->position;
    if (count > available) count = available > 0 ? available : 0;
    if (count > 0) std::memcpy(to, buffer->bytes.data() + buffer->position, static_cast<size_t>(count));
    buffer->position += count;
    return count;
}

inline sf_count_t write(const void* from, sf_count_t count, void* user) {
    Buffer* buffer = static_cast<Buffer*>(user);
    size_t end = static_cast<size_t>(buffer->position + count);
    if (end > buffer->bytes.size()) buffer->bytes.resize(end);
    std::memcpy(buffer->bytes.data() + buffer->position, from, static_cast<size_t>(count));
    buffer->position += count;
    return count;
}

inline sf_count_t tell(void* user) { return static_cast<Buffer*>(user)->position; }

// A 44100 Hz mono 16-bit PCM WAV holding `samples`; empty if libsndfile
// refuses.
inline std::vector<char> encodeMono(const std::vector<int16_t>& samples) {
    SF_VIRTUAL_IO io{length, seek, read, write, tell};
    Buffer buffer;
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open_virtual(&io, SFM_WRITE, &info, &buffer);
    if (!file) return {};
    const sf_count_t frames = static_cast<sf_count_t>(samples.size());
    const bool written = sf_write_short(file, samples.data(), frames) == frames;
    if (sf_close(file) != 0 || !written) return {};
    return buffer.bytes;
}

}  // namespace wav_in_memory
