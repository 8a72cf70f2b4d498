#include "wav_writer.h"

#include "frame_timing.h"

std::unique_ptr<WavWriter> WavWriter::create(const std::string& path, std::string& error) {
    SF_INFO info = {};
    info.samplerate = mixRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        error = "cannot write " + path + ": " + sf_strerror(nullptr);
        return nullptr;
    }
    return std::unique_ptr<WavWriter>(new WavWriter(file, path));
}

WavWriter::~WavWriter() {
    if (file) sf_close(file);
}

bool WavWriter::writeAudio(const int16_t* samples, int frames, std::string& error) {
    if (!file) {
        error = "cannot write " + path + ": already closed";
        return false;
    }
    if (sf_writef_short(file, samples, frames) != frames) {
        error = "cannot write " + path + ": " + sf_strerror(file);
        return false;
    }
    return true;
}

bool WavWriter::finish(std::string& error) {
    if (!file) return true;
    int status = sf_close(file);
    file = nullptr;
    if (status != 0) {
        error = "cannot finish " + path + ": " + sf_error_number(status);
        return false;
    }
    return true;
}
