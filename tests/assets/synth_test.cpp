// The generator's synthesiser: oscillators, envelopes, filters, echo and
// reverb, probed with test tones and impulses whose answers are worked out
// by hand.
#include "random.h"
#include "synth/echo.h"
#include "synth/envelopes.h"
#include "synth/filters.h"
#include "synth/oscillators.h"
#include "synth/reverb.h"
#include "synth/signal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// Peak of |filter(x)| for a sine of `hz` after it has settled.
template <typename Filter>
double settledGain(double hz, Filter filter) {
    SineOscillator tone;
    double peak = 0;
    for (int i = 0; i < sampleRate; ++i) {
        double y = filter(tone.next(hz));
        if (i > sampleRate / 2) peak = std::max(peak, std::fabs(y));
    }
    return peak;
}

double sumOf(const Mono& m, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to && i < m.size(); ++i) sum += m[i];
    return sum;
}

TEST(OscillatorTest, PitchesAndWaveShapes) {
    EXPECT_NEAR(noteHz(69), 440.0, 1e-9);
    EXPECT_NEAR(noteHz(81), 880.0, 1e-9);
    EXPECT_NEAR(noteHz(57), 220.0, 1e-9);
    EXPECT_NEAR(noteHz(60), 261.6256, 1e-4);

    double worst = 0;
    for (int i = -5000; i < 5000; ++i) worst = std::max(worst, std::fabs(sineOfCycles(i * 0.000731) - std::sin(twoPi * i * 0.000731)));
    EXPECT_LT(worst, 1e-6);
    EXPECT_NEAR(sineOfCycles(-0.25), -1.0, 1e-9);

    // 441 Hz is exactly 100 samples a cycle.
    SineOscillator sine;
    TriangleOscillator triangle;
    SawOscillator saw;
    double s[101], t[101], w[101];
    for (int i = 0; i <= 100; ++i) s[i] = sine.next(441), t[i] = triangle.next(441), w[i] = saw.next(441);
    EXPECT_NEAR(s[0], 0, 1e-6);
    EXPECT_NEAR(s[25], 1, 1e-6);
    EXPECT_NEAR(s[75], -1, 1e-6);
    EXPECT_NEAR(t[0], -1, 1e-9);
    EXPECT_NEAR(t[25], 0, 1e-9);
    EXPECT_NEAR(t[50], 1, 1e-9);
    EXPECT_NEAR(t[75], 0, 1e-9);
    EXPECT_NEAR(w[50], 0, 1e-9);
    EXPECT_NEAR(w[25], -0.5, 1e-9);
    double mean = 0;
    for (int i = 0; i < 100; ++i) mean += w[i] / 100;
    EXPECT_NEAR(mean, 0, 0.02);
    // The smoothed edge: no sample beyond the wave's range, the jump at the
    // wrap spread over neighbours rather than one sample of -1.
    EXPECT_LE(*std::max_element(w, w + 101), 1.0);
    EXPECT_GE(*std::min_element(w, w + 101), -1.0);
    EXPECT_GT(w[0], -0.5);
}

TEST(EnvelopeTest, AttackDecaySustainReleaseAtTheirEdges) {
    const Adsr env{0.1, 0.2, 0.5, 0.4};
    EXPECT_EQ(env.level(-0.01, 1), 0);
    EXPECT_NEAR(env.level(0, 1), 0, 1e-12);
    EXPECT_NEAR(env.level(0.05, 1), 0.5, 1e-12);
    EXPECT_NEAR(env.level(0.1, 1), 1, 1e-12);
    EXPECT_NEAR(env.level(0.2, 1), 0.625, 1e-12);  // halfway down: 0.5 + 0.5 * 0.5^2
    EXPECT_NEAR(env.level(0.3, 1), 0.5, 1e-12);
    EXPECT_NEAR(env.level(1.0, 1), 0.5, 1e-12);
    EXPECT_NEAR(env.level(1.2, 1), 0.125, 1e-12);  // 0.5 * (1 - 0.5)^2
    EXPECT_NEAR(env.level(1.4, 1), 0, 1e-12);
    EXPECT_EQ(env.level(1.5, 1), 0);
    EXPECT_NEAR(env.length(1), 1.4, 1e-12);
    // Released during the attack: from where it was, not from the top.
    EXPECT_NEAR(env.level(0.25, 0.05), 0.125, 1e-12);

    Decay decay(0.01, sampleRate);
    double level = 0;
    for (int i = 0; i <= 441; ++i) level = decay.next();
    EXPECT_NEAR(level, std::exp(-1.0), 1e-6);
    EXPECT_NEAR(decayLevel(0.02, 0.01), std::exp(-2.0), 1e-12);

    EXPECT_EQ(ramp(-1, 0, 2), 0);
    EXPECT_EQ(ramp(1, 0, 2), 0.5);
    EXPECT_EQ(ramp(3, 0, 2), 1);
    EXPECT_NEAR(smoothRamp(0.25, 0, 1), 0.5 - 0.5 * std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(smoothRamp(0.5, 0, 1), 0.5, 1e-12);
}

TEST(FilterTest, LowpassBandpassHighpassGains) {
    auto onePoleLow = [](double cutoff) {
        auto f = std::make_shared<OnePole>();
        f->setCutoff(cutoff);
        return [f](double x) { return f->lowpass(x); };
    };
    EXPECT_GT(settledGain(10, onePoleLow(100)), 0.99);
    EXPECT_LT(settledGain(10000, onePoleLow(100)), 0.02);  // 6 dB an octave: about 100 / 10000

    auto svf = [](double cutoff, double q, int output) {
        auto f = std::make_shared<StateVariableFilter>();
        f->set(cutoff, q);
        return [f, output](double x) {
            StateVariableFilter::Outputs o = f->process(x);
            return output == 0 ? o.low : output == 1 ? o.band : o.high;
        };
    };
    EXPECT_NEAR(settledGain(100, svf(1000, 0.707, 0)), 1.0, 0.02);
    EXPECT_LT(settledGain(10000, svf(1000, 0.707, 0)), 0.02);  // 12 dB an octave: about (1/10)^2
    EXPECT_NEAR(settledGain(1000, svf(1000, 0.707, 0)), 0.707, 0.02);
    // The band output peaks at its centre with a gain of Q.
    EXPECT_NEAR(settledGain(1000, svf(1000, 6, 1)), 6.0, 0.15);
    EXPECT_LT(settledGain(250, svf(1000, 6, 1)), 0.5);
    EXPECT_NEAR(settledGain(10000, svf(1000, 0.707, 2)), 1.0, 0.03);
    EXPECT_LT(settledGain(100, svf(1000, 0.707, 2)), 0.02);
}

TEST(MixTest, FramesPanningAndNormalising) {
    EXPECT_EQ(frameAt(1.0), 44100u);
    EXPECT_EQ(frameAt(-1.0), 0u);
    EXPECT_EQ(frameAt(1.5 / sampleRate), 2u);

    Stereo out(4);
    mixPanned(out, Mono{1.0f, 1.0f}, 3, 0.5, -1);  // the second sample falls off the end
    EXPECT_NEAR(out.left[3], 0.5 * std::sqrt(2.0), 1e-6);
    EXPECT_NEAR(out.right[3], 0, 1e-6);
    EXPECT_EQ(out.left[2], 0);
    mixPanned(out, Mono{1.0f}, 0, 0.5, 0);
    EXPECT_NEAR(out.left[0], 0.5, 1e-6);
    EXPECT_NEAR(out.right[0], 0.5, 1e-6);

    Mono quiet{0.1f, -0.25f, 0.2f};
    normalise(quiet, 0.5f);
    EXPECT_FLOAT_EQ(quiet[1], -0.5f);
    EXPECT_FLOAT_EQ(quiet[0], 0.2f);
    Mono silent(3, 0.0f);
    normalise(silent, 0.5f);
    EXPECT_EQ(peakOf(silent), 0.0f);
}

TEST(EchoTest, EachRepeatCrossesSidesAtTheDelayWithTheFeedbackLevel) {
    Stereo dry(frameAt(0.5));
    dry.left[0] = 1.0f;
    EchoSettings settings;
    settings.delaySeconds = 0.1;
    settings.feedback = 0.5;
    settings.toneHz = 20000;
    Stereo wet = echo(dry, settings);
    const size_t d = 4410;
    // The tone filter smears each click over a few samples but keeps its
    // area, so the areas are the repeat levels: 1 left, 0.5 right, 0.25 left.
    EXPECT_EQ(sumOf(wet.left, 0, d), 0);
    EXPECT_EQ(sumOf(wet.right, 0, 2 * d), 0);
    EXPECT_NEAR(sumOf(wet.left, d, d + 100), 1.0, 1e-3);
    EXPECT_NEAR(sumOf(wet.right, 2 * d, 2 * d + 100), 0.5, 1e-3);
    EXPECT_NEAR(sumOf(wet.left, d + 100, 3 * d), 0, 1e-3);
    EXPECT_NEAR(sumOf(wet.left, 3 * d, 3 * d + 100), 0.25, 1e-3);
}

TEST(ReverbTest, TailStartsAfterTheShortestCombDiesAwayAndIsWide) {
    Stereo dry(frameAt(3.0));
    dry.left[0] = dry.right[0] = 1.0f;
    Stereo wet = reverberate(dry, ReverbSettings{});
    auto energy = [&](const Mono& m, double from, double to) {
        double e = 0;
        for (size_t i = frameAt(from); i < frameAt(to); ++i) e += double(m[i]) * m[i];
        return e;
    };
    for (size_t i = 0; i < 1103; ++i) ASSERT_EQ(wet.left[i], 0.0f) << i;
    EXPECT_NE(wet.left[1103], 0.0f);
    EXPECT_GT(energy(wet.left, 0, 0.5), 0);
    EXPECT_LT(energy(wet.left, 2, 3), 0.01 * energy(wet.left, 0, 0.5));
    double difference = 0;
    for (size_t i = 0; i < wet.frames(); ++i) difference += std::fabs(wet.left[i] - wet.right[i]);
    EXPECT_GT(difference, 0.01);
}

TEST(RandomTest, SeededSequencesRepeatAndSpreadEvenly) {
    Random a(7), b(7), c(8), zero(0);
    bool allSame = true, anyDifferent = false;
    double sum = 0;
    for (int i = 0; i < 10000; ++i) {
        double x = a.unit();
        allSame = allSame && x == b.unit();
        anyDifferent = anyDifferent || x != c.unit();
        ASSERT_GE(x, 0.0);
        ASSERT_LT(x, 1.0);
        sum += x;
    }
    EXPECT_TRUE(allSame);
    EXPECT_TRUE(anyDifferent);
    EXPECT_NEAR(sum / 10000, 0.5, 0.02);
    // A zero seed would stick at zero in xorshift; it must not.
    EXPECT_NE(zero.next(), 0u);
}

}  // namespace
