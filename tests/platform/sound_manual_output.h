// A fixture for the sound library with manual output: the test pulls the
// mix itself, frame-exactly, on its own thread.
#pragma once

#include "platform/sound/fsound.h"
#include "platform/sound/sound_output.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

class ManualSoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        setSoundOutput(SoundOutput::Manual);
        ASSERT_EQ(FSOUND_Init(44100, 8, 0), 1);
    }
    void TearDown() override {
        FSOUND_Close();
        setSoundOutput(SoundOutput::Device);
    }

    // Opens `bytes` as a memory stream; the bytes live as long as the test.
    FSOUND_STREAM* open(std::vector<char> bytes, unsigned int mode = FSOUND_LOADMEMORY) {
        blocks.push_back(std::make_unique<std::vector<char>>(std::move(bytes)));
        const std::vector<char>& block = *blocks.back();
        return FSOUND_Stream_Open(block.data(), mode, 0, static_cast<int>(block.size()));
    }

    // The next `frames` frames of the mix, interleaved left, right.
    static std::vector<int16_t> mix(int frames) {
        std::vector<int16_t> out(2 * static_cast<size_t>(frames), 12345);
        mixSound(out.data(), frames);
        return out;
    }

private:
    std::vector<std::unique_ptr<std::vector<char>>> blocks;
};

// Counts sync callbacks through the user data pointer.
struct SyncCounter {
    int calls = 0;
    FSOUND_STREAM* lastStream = nullptr;

    static signed char onSync(FSOUND_STREAM* stream, void*, int, void* user) {
        SyncCounter* counter = static_cast<SyncCounter*>(user);
        ++counter->calls;
        counter->lastStream = stream;
        return 0;
    }
};
