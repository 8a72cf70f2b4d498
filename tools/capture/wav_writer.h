// Writes the captured mix as a WAV file: 44100 Hz, 16-bit, stereo, through
// libsndfile. The header is brought up to date on close, so a file closed
// after an interruption is a valid, shorter WAV.
#pragma once

#include "capture_output.h"

#include <sndfile.h>

#include <cstdint>
#include <memory>
#include <string>

class WavWriter : public CaptureOutput {
public:
    // Null, with a one-line reason in `error`, when the file cannot be made.
    static std::unique_ptr<WavWriter> create(const std::string& path, std::string& error);
    ~WavWriter();

    // Appends `frames` interleaved left, right sample frames.
    bool writeAudio(const int16_t* samples, int frames, std::string& error) override;
    // Finishes the header; later writes fail.
    bool finish(std::string& error) override;

    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

private:
    WavWriter(SNDFILE* file, const std::string& path) : file(file), path(path) {}

    SNDFILE* file;
    std::string path;
};
