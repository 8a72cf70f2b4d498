// Writes the show's data files into the directory given as the only
// argument: first-cut placeholders (a tone, clicks, flat images).
#include <png.h>
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const double pi = 3.14159265358979323846;
const int sampleRate = 44100;

bool writeSound(const std::string& path, int format, int channels, const std::vector<float>& samples) {
    SF_INFO info;
    std::memset(&info, 0, sizeof info);
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return false;
    sf_count_t frames = static_cast<sf_count_t>(samples.size() / channels);
    bool ok = sf_writef_float(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && ok;
}

std::vector<float> tone(double seconds, double frequency, int channels, double gain) {
    size_t frames = static_cast<size_t>(seconds * sampleRate);
    std::vector<float> out(frames * channels);
    for (size_t i = 0; i < frames; ++i) {
        double t = double(i) / sampleRate;
        double envelope = std::min(1.0, std::min(t * 20, (seconds - t) * 20));
        float v = float(gain * envelope * std::sin(2 * pi * frequency * t));
        for (int c = 0; c < channels; ++c) out[i * channels + c] = v;
    }
    return out;
}

bool writeImage(const std::string& path, int width, int height, unsigned rgba) {
    std::vector<png_byte> pixels(size_t(width) * height * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = png_byte(rgba >> 24);
        pixels[i + 1] = png_byte(rgba >> 16);
        pixels[i + 2] = png_byte(rgba >> 8);
        pixels[i + 3] = png_byte(rgba);
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), width * 4, nullptr) != 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vesk_assetgen DATA_DIR\n");
        return 2;
    }
    std::string dir = argv[1];
    bool ok = true;
    ok &= writeSound(dir + "/kelpwake.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 2, tone(70, 220, 2, 0.3));
    ok &= writeSound(dir + "/spinefin.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, tone(0.4, 660, 1, 0.5));
    ok &= writeSound(dir + "/juice.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, tone(0.5, 330, 1, 0.5));
    ok &= writeSound(dir + "/tolvane.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, tone(1.5, 110, 1, 0.5));
    ok &= writeSound(dir + "/carcrash.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, tone(3, 880, 1, 0.5));
    ok &= writeImage(dir + "/fishtank.png", 256, 256, 0x1050a0ffu);
    ok &= writeImage(dir + "/spinefin-256-transparent.png", 256, 256, 0xe0a020ffu);
    ok &= writeImage(dir + "/spinefin-open.png", 256, 256, 0xe08020ffu);
    ok &= writeImage(dir + "/tolvane-transparent.png", 64, 256, 0x60c060ffu);
    ok &= writeImage(dir + "/kelpwake-filled.png", 256, 64, 0xffffffffu);
    ok &= writeImage(dir + "/by-vesk.png", 128, 32, 0xffff80ffu);
    ok &= writeImage(dir + "/outro.png", 128, 128, 0xffffff80u);
    ok &= writeImage(dir + "/outro2.png", 128, 32, 0xffffff80u);
    ok &= writeImage(dir + "/blood.png", 64, 128, 0xc00000ffu);
    ok &= writeImage(dir + "/bubble.png", 32, 32, 0xc0e0ff80u);
    if (!ok) {
        std::fprintf(stderr, "vesk_assetgen: could not write every file in %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
