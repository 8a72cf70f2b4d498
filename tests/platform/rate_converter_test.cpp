// The 44.1 to 48 kHz converter: a tone comes out as the same tone at the
// new rate on both sides, block after block (a converter that takes too
// many or too few input frames, or reads the wrong ones, shifts it).
#include "platform/desktop/rate_converter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

static double tone(int64_t frame, int rate) { return 8000 * std::sin(2 * 3.14159265358979 * 1000 * frame / rate); }

TEST(RateConverter, ATonePlaysAtTheSamePitchAndLevelOnBothSides) {
    RateConverter converter(480);
    std::vector<int16_t> out(2 * 480);
    int64_t in = 0, made = 0;
    double worst = 0;
    for (int block = 0; block < 200; ++block) {
        int16_t* space = converter.inputSpace();
        for (int i = 0, n = converter.inputFrames(480); i < n; ++i, ++in) {
            space[2 * i] = static_cast<int16_t>(std::lrint(tone(in, 44100)));
            space[2 * i + 1] = static_cast<int16_t>(-std::lrint(tone(in, 44100)));
        }
        converter.convert(out.data(), 480);
        for (int i = 0; i < 480; ++i, ++made) {
            if (made < RateConverter::taps) continue;  // the silence before the input
            worst = std::max({worst, std::fabs(out[2 * i] - tone(made, 48000)), std::fabs(out[2 * i + 1] + tone(made, 48000))});
        }
    }
    EXPECT_LT(worst, 4.0);
}
