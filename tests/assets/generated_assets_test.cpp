// The generated data/: formats the show's layers accept, samples that start
// at their first frame with their events where the picture needs them,
// music through the whole show, pictures of the sizes and alpha the sprites
// are set up for. Rows count from the top of a picture.
#include "platform/image.h"
#include "support/cue_analysis.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>

namespace {

// A sound of data/ with its file format, as levels from 0 to 1.
struct Sound {
    explicit Sound(const char* name) : pcm(cue::readSound(std::string("data/") + name)) {
        if (SNDFILE* file = sf_open((std::string("data/") + name).c_str(), SFM_READ, &info)) sf_close(file);
    }
    double seconds() const { return pcm.frames() / 44100.0; }
    double rms(double from, double to) const {
        double sum = 0;
        const long a = cue::framesAt(from), b = std::min(pcm.frames(), cue::framesAt(to));
        for (long i = a; i < b; ++i) sum += std::pow((pcm.at(i, 0) + pcm.at(i, 1)) / 65536.0, 2);
        return b > a ? std::sqrt(sum / double(b - a)) : 0;
    }
    double peak() const {
        int largest = 0;
        for (int16_t v : pcm.samples) largest = std::max(largest, std::abs(int(v)));
        return largest / 32768.0;
    }
    SF_INFO info{};
    cue::Stereo pcm;
};

TEST(GeneratedSounds, SamplesArePcm16At44100AndStartAtTheirFirstFrame) {
    for (const char* name : {"spinefin.wav", "carcrash.wav", "juice.wav", "tolvane.wav"}) {
        const Sound sound(name);
        EXPECT_EQ(sound.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16) << name;
        EXPECT_EQ(sound.info.samplerate, 44100) << name;
        // Heard over the music, with headroom for the sum.
        EXPECT_GT(sound.peak(), 0.5) << name;
        EXPECT_LT(sound.peak(), 0.8) << name;
        EXPECT_GT(sound.rms(0, 0.005), 0.02) << name << ": sounds within 5 ms";
        EXPECT_GT(sound.rms(0, 0.1), 0.05) << name << ": not a click";
    }
    // The fish blubs twice, at the mouth's openings: the first has died down
    // before 0.2 s, the second attacks there; both are done at 0.42 s.
    const Sound blubs("spinefin.wav");
    EXPECT_GT(blubs.rms(0.2, 0.214), 4 * blubs.rms(0.185, 0.199));
    EXPECT_LT(blubs.rms(0.42, blubs.seconds()), 0.1 * blubs.rms(0, 0.05));
    EXPECT_LT(blubs.seconds(), 1.0);
    // The crash whistles from the start and hits 2.1 s in, then debris.
    const Sound crash("carcrash.wav");
    for (double t = 0; t < 2.05; t += 0.1) EXPECT_GT(crash.rms(t, t + 0.05), 0.08) << t;
    EXPECT_GT(crash.rms(2.1, 2.12), 1.5 * crash.rms(2.05, 2.09));
    EXPECT_GT(crash.rms(2.5, 3.5), 0.01);
    EXPECT_LT(crash.rms(crash.seconds() - 0.1, crash.seconds()), 0.01);
    // The voice: two syllables with a stop between them, 1.2 to 2 s.
    const Sound voice("tolvane.wav");
    EXPECT_GT(voice.seconds(), 1.2);
    EXPECT_LT(voice.seconds(), 2.0);
    EXPECT_LT(voice.rms(0.43, 0.5), 0.2 * voice.rms(0.1, 0.3));
    EXPECT_GT(voice.rms(0.7, 1.0), 0.1);
}

TEST(GeneratedSounds, TheMusicIsStereoMp3PlayingWithoutGapsThroughTheShow) {
    const Sound music("kelpwake.mp3");
    EXPECT_EQ(music.info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_MPEG);
    EXPECT_EQ(music.info.channels, 2);
    EXPECT_EQ(music.info.samplerate, 44100);
    EXPECT_GE(music.seconds(), 68.5);
    EXPECT_LT(music.seconds(), 72.0);
    EXPECT_GT(music.peak(), 0.35);  // about -6 dBFS: samples on top do not clip badly
    EXPECT_LT(music.peak(), 0.6);
    int quiet = 0;
    for (double t = 0.5; t + 0.05 <= 66.5 && quiet < 5; t += 0.05)
        if (music.rms(t, t + 0.05) < 0.02) ADD_FAILURE() << "quiet at " << t << " s", ++quiet;
    EXPECT_LT(music.rms(68.4, 68.5), 0.005);  // faded out by the show's end
}

std::unique_ptr<DecodedImage> picture(const char* name) { return decodePngFile((std::string("data/") + name).c_str(), 4096); }
int alpha(const DecodedImage& image, int x, int y) { return image.pixels()[(size_t(y) * size_t(image.width()) + size_t(x)) * 4 + 3]; }
// Pixels in [x0, x1) x [y0, y1) with alpha of at least `least`.
int count(const DecodedImage& image, int x0, int y0, int x1, int y1, int least) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += alpha(image, x, y) >= least;
    return n;
}

TEST(GeneratedPictures, SidesAlphaAndShapesFitTheirSprites) {
    const struct {
        const char* name;
        int wide, high;  // the aspect
        bool overlay;    // clear corners and background, solid content
    } pictures[] = {{"fishtank.png", 1, 1, false},  {"spinefin-256-transparent.png", 1, 1, true},
                    {"spinefin-open.png", 1, 1, true}, {"tolvane-transparent.png", 1, 4, true},
                    {"kelpwake-filled.png", 4, 1, true}, {"by-vesk.png", 4, 1, true}, {"outro.png", 1, 1, true},
                    {"outro2.png", 4, 1, true}, {"blood.png", 1, 2, false}, {"bubble.png", 1, 1, true}};
    for (const auto& p : pictures) {
        auto image = picture(p.name);
        ASSERT_TRUE(image) << p.name;
        const int w = image->width(), h = image->height(), area = w * h;
        EXPECT_TRUE((w & (w - 1)) == 0 && (h & (h - 1)) == 0) << p.name << ": OpenGL 1.1 textures";
        EXPECT_EQ(w * p.high, h * p.wide) << p.name;
        if (!p.overlay) continue;
        EXPECT_EQ(alpha(*image, 0, 0) + alpha(*image, w - 1, 0) + alpha(*image, 0, h - 1) + alpha(*image, w - 1, h - 1), 0) << p.name;
        EXPECT_GT(count(*image, 0, 0, w, h, 200), area / 50) << p.name;
        EXPECT_GT(area - count(*image, 0, 0, w, h, 1), area / 5) << p.name;
    }
    auto tank = picture("fishtank.png");
    EXPECT_EQ(count(*tank, 0, 0, tank->width(), tank->height(), 255), tank->width() * tank->height());
    // The two fish differ only around the mouth, at the left (the fish faces -x), mid height.
    auto closed = picture("spinefin-256-transparent.png"), open = picture("spinefin-open.png");
    ASSERT_EQ(closed->width(), 256);
    int differing = 0, outsideMouth = 0;
    for (int i = 0; i < 256 * 256; ++i)
        if (!std::equal(closed->pixels() + 4 * i, closed->pixels() + 4 * i + 4, open->pixels() + 4 * i)) {
            ++differing;
            outsideMouth += !(i % 256 < 64 && i / 256 > 102 && i / 256 < 179);
        }
    EXPECT_GT(differing, 200);
    EXPECT_EQ(outsideMouth, 0);
    EXPECT_GT(count(*closed, 0, 0, 256 / 6, 256, 200), 0);
    // The second character covers both views the show gives it: 23 % to 57 %
    // of its height from the bottom while on the fish, the top 29 % at the end.
    auto figure = picture("tolvane-transparent.png");
    const int w = figure->width(), h = figure->height();
    EXPECT_GT(count(*figure, 0, h - h * 57 / 100, w, h - h * 23 / 100, 200), w * (h * 34 / 100) / 2);
    EXPECT_GT(count(*figure, 0, 0, w, h * 29 / 100, 200), w * (h * 29 / 100) / 2);
    // The title leaves the by-line's corner clear and runs across the middle.
    auto title = picture("kelpwake-filled.png");
    const int tw = title->width(), th = title->height();
    EXPECT_EQ(count(*title, tw * 75 / 100, th - th * 20 / 100, tw * 95 / 100, th, 1), 0);
    for (int part = 0; part < 4; ++part) EXPECT_GT(count(*title, part * tw / 4, th / 4, (part + 1) * tw / 4, th * 3 / 4, 250), 100) << part;
    // The blood: clear top row, a red wash below a wavy edge in the top quarter.
    auto blood = picture("blood.png");
    const int bw = blood->width(), bh = blood->height();
    EXPECT_EQ(count(*blood, 0, 0, bw, 1, 1), 0);
    for (int y = bh / 2; y < bh; y += 16)
        for (int x = 0; x < bw; x += 16) {
            const uint8_t* p = blood->pixels() + (size_t(y) * size_t(bw) + size_t(x)) * 4;
            ASSERT_TRUE(p[3] > 150 && p[0] > 2 * p[1] && p[0] > 2 * p[2]) << x << "," << y;
        }
    int highest = bh, lowest = 0;
    for (int x = 0; x < bw; ++x) {
        int y = 0;
        while (y < bh && alpha(*blood, x, y) < 128) ++y;
        highest = std::min(highest, y), lowest = std::max(lowest, y);
    }
    EXPECT_GT(lowest - highest, 8);
    EXPECT_LT(lowest, bh / 4);
    // The bubble: clear inside, a bright dense rim along sixteen rays.
    auto bubble = picture("bubble.png");
    const int c = bubble->width() / 2;
    EXPECT_LT(alpha(*bubble, c, c), 64);
    for (int ray = 0; ray < 16; ++ray) {
        int densest = 0, brightest = 0;
        for (double r = 0.8 * c; r < c; r += 0.5) {
            const int x = int(c + r * std::cos(ray * M_PI / 8)), y = int(c + r * std::sin(ray * M_PI / 8));
            const uint8_t* p = bubble->pixels() + (size_t(y) * size_t(bubble->width()) + size_t(x)) * 4;
            densest = std::max(densest, int(p[3]));
            brightest = std::max(brightest, int(std::min({p[0], p[1], p[2]})));
        }
        EXPECT_GT(densest, 200) << ray;
        EXPECT_GT(brightest, 200) << ray;
    }
}

}  // namespace
