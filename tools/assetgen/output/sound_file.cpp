#include "output/sound_file.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>

namespace {

// Closes the file on every path out of a writer.
class SoundFileWriter {
public:
    SoundFileWriter(const std::string& path, int format, int channels) {
        SF_INFO info;
        std::memset(&info, 0, sizeof info);
        info.samplerate = sampleRate;
        info.channels = channels;
        info.format = format;
        file = sf_open(path.c_str(), SFM_WRITE, &info);
    }
    ~SoundFileWriter() {
        if (file) sf_close(file);
    }
    SoundFileWriter(const SoundFileWriter&) = delete;
    SoundFileWriter& operator=(const SoundFileWriter&) = delete;

    SNDFILE* handle() const { return file; }

    // Writes whole frames of interleaved samples.
    bool writeFrames(const std::vector<float>& interleaved, int channels) {
        sf_count_t frames = sf_count_t(interleaved.size() / size_t(channels));
        return sf_writef_float(file, interleaved.data(), frames) == frames;
    }
    // Closes now, so that the caller learns whether the trailer was written.
    bool close() {
        bool ok = sf_close(file) == 0;
        file = nullptr;
        return ok;
    }

private:
    SNDFILE* file = nullptr;
};

float clipped(float v) { return std::min(1.0f, std::max(-1.0f, v)); }

}  // namespace

bool writeWavFile(const std::string& path, const Mono& samples) {
    SoundFileWriter writer(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1);
    if (!writer.handle()) return false;
    std::vector<float> clippedSamples(samples.size());
    std::transform(samples.begin(), samples.end(), clippedSamples.begin(), clipped);
    bool ok = writer.writeFrames(clippedSamples, 1);
    return writer.close() && ok;
}

bool writeMp3File(const std::string& path, const Stereo& music) {
    SoundFileWriter writer(path, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 2);
    if (!writer.handle()) return false;
    // The bit rate is (1 - level) * 320 + level * 32 kbit/s.
    int mode = SF_BITRATE_MODE_CONSTANT;
    double level = (320.0 - 160.0) / (320.0 - 32.0);
    // The level first: setting the mode re-reads it.
    if (!sf_command(writer.handle(), SFC_SET_COMPRESSION_LEVEL, &level, sizeof level)) return false;
    if (!sf_command(writer.handle(), SFC_SET_BITRATE_MODE, &mode, sizeof mode)) return false;

    size_t frames = std::min(music.left.size(), music.right.size());
    std::vector<float> interleaved(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        interleaved[2 * i] = clipped(music.left[i]);
        interleaved[2 * i + 1] = clipped(music.right[i]);
    }
    bool ok = writer.writeFrames(interleaved, 2);
    return writer.close() && ok;
}
