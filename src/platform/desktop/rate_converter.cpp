#include "platform/desktop/rate_converter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Kaiser window's zeroth-order Bessel function, by its series.
double besselI0(double x) {
    double sum = 1, term = 1;
    for (int k = 1; k < 30; ++k) sum += (term *= (x / (2 * k)) * (x / (2 * k)));
    return sum;
}

}  // namespace

RateConverter::RateConverter(int maxOutputFrames)
    : filter(static_cast<size_t>(ratioOut) * taps),
      input(2 * static_cast<size_t>(taps + maxOutputFrames * ratioIn / ratioOut + 2)) {
    // The pass band ends below the input's Nyquist frequency (0.5), so that
    // the images of the 44.1 kHz spectrum above 22 kHz are stopped.
    const double cutoff = 0.45, beta = 8.0, pi = 3.14159265358979323846;
    for (int phase = 0; phase < ratioOut; ++phase) {
        float* h = &filter[static_cast<size_t>(phase) * taps];
        double sum = 0;
        for (int k = 0; k < taps; ++k) {
            // Distance of tap k from the output's exact input position.
            const double d = (k - (taps / 2 - 1)) - static_cast<double>(phase) / ratioOut;
            const double x = 2 * cutoff * d, edge = d / (taps / 2);
            const double sinc = x == 0 ? 1 : std::sin(pi * x) / (pi * x);
            const double window = std::fabs(edge) >= 1 ? 0 : besselI0(beta * std::sqrt(1 - edge * edge)) / besselI0(beta);
            sum += h[k] = static_cast<float>(sinc * window);
        }
        for (int k = 0; k < taps; ++k) h[k] = static_cast<float>(h[k] / sum);  // unity gain at 0 Hz
    }
}

int RateConverter::inputFrames(int outputFrames) const {
    return static_cast<int>(firstTap(produced + outputFrames - 1) + taps - (base + held));
}

int16_t* RateConverter::inputSpace() {
    // Input before the next output's first tap is no longer needed.
    const int64_t drop = firstTap(produced) - base;
    std::memmove(input.data(), input.data() + 2 * drop, sizeof(int16_t) * 2 * static_cast<size_t>(held - drop));
    base += drop;
    held -= drop;
    return input.data() + 2 * held;
}

void RateConverter::convert(int16_t* out, int outputFrames) {
    held += inputFrames(outputFrames);
    for (int i = 0; i < outputFrames; ++i, ++produced) {
        const float* h = &filter[static_cast<size_t>(produced * ratioIn % ratioOut) * taps];
        const int16_t* in = &input[2 * static_cast<size_t>(firstTap(produced) - base)];
        float left = 0, right = 0;
        for (int k = 0; k < taps; ++k) left += h[k] * in[2 * k], right += h[k] * in[2 * k + 1];
        out[2 * i] = static_cast<int16_t>(std::lrint(std::clamp(left, -32768.0f, 32767.0f)));
        out[2 * i + 1] = static_cast<int16_t>(std::lrint(std::clamp(right, -32768.0f, 32767.0f)));
    }
}
