#include "synth/reverb.h"

#include <cmath>

namespace {

// Delay lengths in frames at 44.1 kHz: mutually prime, 25 to 40 ms for the
// combs, 5 to 13 ms for the allpasses.
const int combLengths[] = {1103, 1201, 1291, 1373, 1439, 1511, 1583, 1657};
const int allpassLengths[] = {563, 431, 331, 223};
const int rightSpread = 29;

class Comb {
public:
    explicit Comb(size_t length) : line(length, 0.0f) {}
    float process(float x, float feedback, float damping) {
        float out = line[position];
        filtered = out * (1 - damping) + filtered * damping;
        line[position] = x + filtered * feedback;
        if (++position == line.size()) position = 0;
        return out;
    }

private:
    std::vector<float> line;
    size_t position = 0;
    float filtered = 0;
};

class Allpass {
public:
    explicit Allpass(size_t length) : line(length, 0.0f) {}
    float process(float x) {
        const float gain = 0.5f;
        float delayed = line[position];
        float out = delayed - x;
        line[position] = x + delayed * gain;
        if (++position == line.size()) position = 0;
        return out;
    }

private:
    std::vector<float> line;
    size_t position = 0;
};

Mono reverberateSide(const Mono& input, const ReverbSettings& settings, int spread) {
    std::vector<Comb> combs;
    for (int length : combLengths) combs.emplace_back(size_t(std::lround((length + spread) * settings.roomScale)));
    std::vector<Allpass> allpasses;
    for (int length : allpassLengths) allpasses.emplace_back(size_t(std::lround((length + spread) * settings.roomScale)));

    float feedback = float(settings.decay);
    float damping = float(settings.damping);
    const float inputGain = 0.015f;
    Mono out(input.size());
    for (size_t i = 0; i < input.size(); ++i) {
        float x = input[i] * inputGain;
        float sum = 0;
        for (Comb& comb : combs) sum += comb.process(x, feedback, damping);
        for (Allpass& allpass : allpasses) sum = allpass.process(sum);
        out[i] = sum;
    }
    return out;
}

}  // namespace

Stereo reverberate(const Stereo& dry, const ReverbSettings& settings) {
    Mono sum(dry.frames());
    for (size_t i = 0; i < sum.size(); ++i) sum[i] = 0.5f * (dry.left[i] + dry.right[i]);
    Stereo wet;
    wet.left = reverberateSide(sum, settings, 0);
    wet.right = reverberateSide(sum, settings, rightSpread);
    return wet;
}
