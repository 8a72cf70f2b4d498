// The generator's synthesiser, probed with tones and impulses whose answers
// are worked out by hand.
#include "random.h"
#include "synth/echo.h"
#include "synth/envelopes.h"
#include "synth/filters.h"
#include "synth/oscillators.h"
#include "synth/signal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

namespace {

TEST(Synth, OscillatorsHitTheirPitchesAndShapes) {
    EXPECT_NEAR(noteHz(69), 440.0, 1e-9);
    EXPECT_NEAR(noteHz(57), 220.0, 1e-9);
    EXPECT_NEAR(noteHz(60), 261.6256, 1e-4);
    for (int i = -5000; i < 5000; i += 7) ASSERT_NEAR(sineOfCycles(i * 0.000731), std::sin(twoPi * i * 0.000731), 1e-6) << i;
    // 441 Hz is exactly 100 samples a cycle.
    SineOscillator sine;
    TriangleOscillator triangle;
    SawOscillator saw;
    double s[101], t[101], w[101], mean = 0;
    for (int i = 0; i <= 100; ++i) s[i] = sine.next(441), t[i] = triangle.next(441), w[i] = saw.next(441), mean += i < 100 ? w[i] / 100 : 0;
    const std::pair<double, double> expected[] = {{s[0], 0}, {s[25], 1}, {s[75], -1}, {t[0], -1}, {t[25], 0},
                                                  {t[50], 1}, {t[75], 0}, {w[25], -0.5}, {w[50], 0}};
    for (const auto& [value, wanted] : expected) EXPECT_NEAR(value, wanted, 1e-6);
    EXPECT_NEAR(mean, 0, 0.02);
    // The saw's jump is smoothed over neighbours, within the wave's range.
    EXPECT_LE(*std::max_element(w, w + 101), 1.0);
    EXPECT_GE(*std::min_element(w, w + 101), -1.0);
    EXPECT_GT(w[0], -0.5);
}

TEST(Synth, EnvelopesAtTheirEdges) {
    const Adsr env{0.1, 0.2, 0.5, 0.4};
    // (time, release time, level): halfway down the decay 0.5 + 0.5 * 0.5^2,
    // halfway through the release 0.5 * 0.5^2; released in the attack: from
    // where it was.
    const double cases[][3] = {{-0.01, 1, 0}, {0, 1, 0},   {0.05, 1, 0.5},   {0.1, 1, 1},   {0.2, 1, 0.625},
                               {0.3, 1, 0.5}, {1.0, 1, 0.5}, {1.2, 1, 0.125}, {1.4, 1, 0}, {1.5, 1, 0},
                               {0.25, 0.05, 0.125}};
    for (const auto& c : cases) EXPECT_NEAR(env.level(c[0], c[1]), c[2], 1e-12) << c[0] << " released at " << c[1];
    EXPECT_NEAR(env.length(1), 1.4, 1e-12);
    Decay decay(0.01, sampleRate);
    double level = 0;
    for (int i = 0; i <= 441; ++i) level = decay.next();
    EXPECT_NEAR(level, std::exp(-1.0), 1e-6);
    EXPECT_NEAR(decayLevel(0.02, 0.01), std::exp(-2.0), 1e-12);
    EXPECT_EQ(ramp(-1, 0, 2) + ramp(1, 0, 2) + ramp(3, 0, 2), 1.5);
    EXPECT_NEAR(smoothRamp(0.25, 0, 1), 0.5 - 0.5 * std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(smoothRamp(0.5, 0, 1), 0.5, 1e-12);
}

// Peak of |filter(x)| for a sine of `hz` once it has settled.
double gain(double hz, const std::function<double(double)>& filter) {
    SineOscillator tone;
    double peak = 0;
    for (int i = 0; i < sampleRate; ++i) {
        const double y = filter(tone.next(hz));
        if (i > sampleRate / 2) peak = std::max(peak, std::fabs(y));
    }
    return peak;
}
std::function<double(double)> svf(double cutoff, double q, int output) {
    auto f = std::make_shared<StateVariableFilter>();
    f->set(cutoff, q);
    return [f, output](double x) {
        const StateVariableFilter::Outputs o = f->process(x);
        return output == 0 ? o.low : output == 1 ? o.band : o.high;
    };
}

TEST(Synth, FiltersPassStopAndPeakWhereWorkedOut) {
    auto onePole = std::make_shared<OnePole>();
    onePole->setCutoff(100);
    EXPECT_GT(gain(10, [onePole](double x) { return onePole->lowpass(x); }), 0.99);
    EXPECT_LT(gain(10000, [onePole](double x) { return onePole->lowpass(x); }), 0.02);  // 6 dB an octave
    const struct {
        double hz, cutoff, q;
        int output;
        double low, high;  // the gain lies between
    } cases[] = {{100, 1000, 0.707, 0, 0.98, 1.02},  {10000, 1000, 0.707, 0, 0, 0.02},  // 12 dB an octave
                 {1000, 1000, 0.707, 0, 0.687, 0.727}, {1000, 1000, 6, 1, 5.85, 6.15},  // the band peaks at Q
                 {250, 1000, 6, 1, 0, 0.5},           {10000, 1000, 0.707, 2, 0.97, 1.03}, {100, 1000, 0.707, 2, 0, 0.02}};
    for (const auto& c : cases) {
        const double g = gain(c.hz, svf(c.cutoff, c.q, c.output));
        EXPECT_TRUE(g >= c.low && g <= c.high) << c.hz << " Hz, output " << c.output << ": " << g;
    }
}

TEST(Synth, EachEchoCrossesSidesAtTheDelayWithTheFeedbacksLevel) {
    Stereo dry(frameAt(0.5));
    dry.left[0] = 1.0f;
    EchoSettings settings;
    settings.delaySeconds = 0.1, settings.feedback = 0.5, settings.toneHz = 20000;
    const Stereo wet = echo(dry, settings);
    // The tone filter smears a click but keeps its area.
    auto area = [](const Mono& m, size_t from, size_t to) {
        double sum = 0;
        for (size_t i = from; i < to; ++i) sum += m[i];
        return sum;
    };
    const size_t d = 4410;
    EXPECT_EQ(area(wet.left, 0, d) + area(wet.right, 0, 2 * d), 0);
    EXPECT_NEAR(area(wet.left, d, d + 100), 1.0, 1e-3);
    EXPECT_NEAR(area(wet.right, 2 * d, 2 * d + 100), 0.5, 1e-3);
    EXPECT_NEAR(area(wet.left, d + 100, 3 * d), 0, 1e-3);
    EXPECT_NEAR(area(wet.left, 3 * d, 3 * d + 100), 0.25, 1e-3);
}

TEST(Synth, SeededRandomSequencesRepeatAndSpreadEvenly) {
    Random a(7), b(7), c(8), zero(0);
    bool same = true, different = false;
    double sum = 0;
    for (int i = 0; i < 10000; ++i) {
        const double x = a.unit();
        same = same && x == b.unit();
        different = different || x != c.unit();
        ASSERT_TRUE(x >= 0.0 && x < 1.0) << x;
        sum += x;
    }
    EXPECT_TRUE(same);
    EXPECT_TRUE(different);
    EXPECT_NEAR(sum / 10000, 0.5, 0.02);
    EXPECT_NE(zero.next(), 0u);  // xorshift would stick at a zero seed
}

}  // namespace
