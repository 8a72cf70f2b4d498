// The generated data/: formats the show's layers accept, sounds that start
// at their first frame, music through the whole show, pictures of the sizes
// and alpha the sprites are set up for.
#include "platform/image.h"
#include "support/cue_analysis.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>

namespace {

// Root mean square level from 0 to 1 of both sides over [from, to) seconds.
double rms(const cue::Stereo& pcm, double from, double to) {
    double sum = 0;
    const long a = cue::framesAt(from), b = std::min(pcm.frames(), cue::framesAt(to));
    for (long i = a; i < b; ++i) sum += std::pow((pcm.at(i, 0) + pcm.at(i, 1)) / 65536.0, 2);
    return b > a ? std::sqrt(sum / double(b - a)) : 0;
}

TEST(GeneratedSounds, SamplesArePcm16StartAtOnceAndTheMusicRunsThroughTheShow) {
    for (const std::string name : {"spinefin.wav", "carcrash.wav", "juice.wav", "tolvane.wav", "kelpwake.mp3"}) {
        SF_INFO info{};
        sf_close(sf_open(("data/" + name).c_str(), SFM_READ, &info));
        const bool music = name == "kelpwake.mp3";
        const cue::Stereo pcm = cue::readSound("data/" + name);
        EXPECT_EQ(music ? info.format & SF_FORMAT_TYPEMASK : info.format, music ? SF_FORMAT_MPEG : SF_FORMAT_WAV | SF_FORMAT_PCM_16) << name;
        EXPECT_TRUE(info.samplerate == 44100 && (!music || info.channels == 2)) << name;
        const auto [low, high] = std::minmax_element(pcm.samples.begin(), pcm.samples.end());  // headroom for the sum, sounding within 5 ms
        const int peak = std::max(-int(*low), int(*high));
        EXPECT_TRUE(peak > 32768 * (music ? 0.35 : 0.5) && peak < 32768 * (music ? 0.6 : 0.8) && rms(pcm, 0, 0.005) > (music ? 0 : 0.02)) << name;
        if (!music) continue;
        EXPECT_TRUE(pcm.frames() >= cue::framesAt(68.5) && pcm.frames() < cue::framesAt(72.0)) << pcm.frames();
        for (double t = 0.5; t + 0.05 <= 66.5; t += 0.05) ASSERT_GT(rms(pcm, t, t + 0.05), 0.02) << "quiet at " << t << " s";
        EXPECT_LT(rms(pcm, 68.4, 68.5), 0.005);  // faded out by the show's end
    }
}

TEST(GeneratedPictures, SidesAndAlphaFitTheirSprites) {
    const struct {
        const char* name;
        int wide, high;  // the aspect
        bool overlay;    // clear corners and background, solid content; else opaque or unused alpha
    } pictures[] = {{"fishtank.png", 1, 1, false},  {"spinefin-256-transparent.png", 1, 1, true},
                    {"spinefin-open.png", 1, 1, true}, {"tolvane-transparent.png", 1, 4, true},
                    {"kelpwake-filled.png", 4, 1, true}, {"by-vesk.png", 4, 1, true}, {"outro.png", 1, 1, true},
                    {"outro2.png", 4, 1, true}, {"blood.png", 1, 2, false}, {"bubble.png", 1, 1, true}};
    for (const auto& p : pictures) {
        const auto image = decodePngFile((std::string("data/") + p.name).c_str(), 4096);
        ASSERT_TRUE(image) << p.name;
        const int w = image->width(), h = image->height();
        EXPECT_TRUE((w & (w - 1)) == 0 && (h & (h - 1)) == 0 && w * p.high == h * p.wide) << p.name << ": OpenGL 1.1 textures";
        int clear = 0, solid = 0;
        for (int i = 0; i < w * h; ++i) clear += image->pixels()[4 * i + 3] == 0, solid += image->pixels()[4 * i + 3] >= 200;
        const int corners = image->pixels()[3] + image->pixels()[4 * (w - 1) + 3] + image->pixels()[4 * w * h - 1];
        if (p.overlay) EXPECT_TRUE(corners == 0 && solid > w * h / 50 && clear > w * h / 5) << p.name;
        else EXPECT_GT(solid, w * h / 3) << p.name;
    }
}

}  // namespace
