// The generator's synthesiser, probed with tones and impulses whose answers
// are worked out by hand.
#include "synth/echo.h"
#include "synth/envelopes.h"
#include "synth/filters.h"
#include "synth/oscillators.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

namespace {

TEST(Synth, OscillatorsAndEnvelopesAtTheirEdges) {
    // 441 Hz is exactly 100 samples a cycle.
    SineOscillator sine;
    TriangleOscillator triangle;
    SawOscillator saw;
    double s[100], t[100], w[100];
    for (int i = 0; i < 100; ++i) s[i] = sine.next(441), t[i] = triangle.next(441), w[i] = saw.next(441);
    const double worked[][2] = {{s[25], 1}, {s[75], -1}, {t[0], -1}, {t[50], 1}, {t[75], 0}, {w[25], -0.5}, {w[50], 0}};
    // Halfway down the decay 0.5 + 0.5 * 0.5^2, halfway through the release
    // 0.5 * 0.5^2; released in the attack: from where it was.
    const Adsr env{0.1, 0.2, 0.5, 0.4};
    const double envelope[][3] = {{0.05, 1, 0.5}, {0.2, 1, 0.625}, {1.2, 1, 0.125}, {1.4, 1, 0}, {0.25, 0.05, 0.125}};
    for (const auto& c : worked) EXPECT_NEAR(c[0], c[1], 1e-6);
    for (const auto& c : envelope) EXPECT_NEAR(env.level(c[0], c[1]), c[2], 1e-12) << c[0] << " released at " << c[1];
}

// Peak gain of a filter for a sine of `hz` once it has settled.
template <typename Filter> double gain(double hz, Filter filter) {
    SineOscillator tone;
    double peak = 0;
    for (int i = 0; i < sampleRate; ++i) {
        const double y = filter(tone.next(hz));
        if (i > sampleRate / 2) peak = std::max(peak, std::fabs(y));
    }
    return peak;
}

TEST(Synth, FiltersPassStopAndPeakWhereWorkedOut) {
    // Tone, cutoff, Q, output (low, band, high), and the least and most gain.
    const double cases[][6] = {{10000, 1000, 0.707, 0, 0, 0.02}, {1000, 1000, 0.707, 0, 0.687, 0.727},  // 12 dB an octave
                 {1000, 1000, 6, 1, 5.85, 6.15}, {100, 1000, 0.707, 2, 0, 0.02}};  // the band peaks at Q
    for (const auto& c : cases) {
        StateVariableFilter f;
        f.set(c[1], c[2]);
        const double g = gain(c[0], [&](double x) { const auto o = f.process(x); return c[3] == 0 ? o.low : c[3] == 1 ? o.band : o.high; });
        EXPECT_TRUE(g >= c[4] && g <= c[5]) << c[0] << " Hz, output " << c[3] << ": " << g;
    }
}

TEST(Synth, EachEchoCrossesSidesAtTheDelayWithTheFeedbacksLevel) {
    Stereo dry(frameAt(0.5));
    dry.left[0] = 1.0f;
    EchoSettings settings;
    settings.delaySeconds = 0.1, settings.feedback = 0.5, settings.toneHz = 20000;
    const Stereo wet = echo(dry, settings);
    // The tone filter smears a click but keeps its area; between its echoes
    // a side is silent.
    const auto area = [](const Mono& m, size_t from, size_t to) { return std::accumulate(&m[from], &m[to], 0.0); };
    const double silent = area(wet.left, 0, 4410) + area(wet.right, 0, 8820) + area(wet.left, 4510, 13230);
    const double areas[][2] = {{silent, 0}, {area(wet.left, 4410, 4510), 1.0}, {area(wet.right, 8820, 8920), 0.5}, {area(wet.left, 13230, 13330), 0.25}};
    for (const auto& [measured, expected] : areas) EXPECT_NEAR(measured, expected, 1e-3);
}

}  // namespace
