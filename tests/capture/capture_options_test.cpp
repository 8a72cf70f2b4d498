// The capture's command line: values at the edges of their ranges, and a
// one-line reason for every refusal.
#include "capture_options.h"

#include <gtest/gtest.h>

namespace {

ParsedCommandLine parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "vesk-capture");
    return parseCaptureOptions(int(arguments.size()), arguments.data());
}

TEST(CaptureOptions, DefaultsAndValuesInBothSpellings) {
    ParsedCommandLine result = parse({"--frames", "out"});
    ASSERT_EQ(result.outcome, ParseOutcome::Run) << result.error;
    CaptureOptions o = result.options;
    EXPECT_EQ(std::vector<uint64_t>({o.fps.numerator, o.fps.denominator, uint64_t(o.width), uint64_t(o.height), o.seed,
                                     o.fromMilliseconds, o.timerStart}),
              std::vector<uint64_t>({60, 1, 512, 512, 1, 0, 0}));
    EXPECT_FALSE(o.hasTo);
    EXPECT_EQ(o.framesDirectory, "out");
    result = parse({"--fps=30000/1001", "--size", "640x360", "--seed=7", "--from", "1.5", "--to=2.25", "--video", "v.mp4",
                    "--audio=a.wav", "--sheet", "s.png", "--timer-start", "4294967295"});
    ASSERT_EQ(result.outcome, ParseOutcome::Run) << result.error;
    o = result.options;
    EXPECT_EQ(std::vector<uint64_t>({o.fps.numerator, o.fps.denominator, uint64_t(o.width), uint64_t(o.height), o.seed,
                                     o.fromMilliseconds, o.toMilliseconds, o.timerStart}),
              std::vector<uint64_t>({30000, 1001, 640, 360, 7, 1500, 2250, 4294967295}));
    EXPECT_TRUE(o.hasTo);
    EXPECT_EQ(o.videoPath + o.audioPath + o.sheetPath, "v.mp4a.wavs.png");
    // Still times come sorted, without repeats.
    result = parse({"--at", "10,2.5,10", "--at=0", "--stills", "s"});
    EXPECT_EQ(result.options.stillMilliseconds, (std::vector<uint64_t>{0, 2500, 10000})) << result.error;
    // Help wins over what follows, and names every option.
    EXPECT_EQ(parse({"-h", "--bogus"}).outcome, ParseOutcome::Help);
    EXPECT_EQ(parse({"--help=yes"}).outcome, ParseOutcome::Error);
    for (const char* option : {"--fps", "--size", "--seed", "--from", "--to", "--frames", "--at", "--stills", "--audio",
                               "--video", "--sheet", "--timer-start", "--help"})
        EXPECT_NE(std::string(captureHelp()).find(option), std::string::npos) << option;
}

TEST(CaptureOptions, NumbersAtTheEdgesOfTheirRanges) {
    FrameRate rate;
    ASSERT_TRUE(parseFrameRate("29.97", rate));
    EXPECT_EQ(rate.numerator * 1000 + rate.denominator, 2997u * 1000 + 100);
    ASSERT_TRUE(parseFrameRate("120/2", rate));
    EXPECT_EQ(rate.numerator * 1000 + rate.denominator, 60u * 1000 + 1);
    for (const char* good : {"1", "1000", "1000000/1000"}) EXPECT_TRUE(parseFrameRate(good, rate)) << good;
    for (const char* bad : {"0", "0.5", "999/1000", "1001", "1000.001", "60/0", "0/1", "-60", "+60", "60fps", "", "6 0",
                            "/60", "60/", ".5", "1e2", "18446744073709551617"})
        EXPECT_FALSE(parseFrameRate(bad, rate)) << bad;

    int width = 0, height = 0;
    ASSERT_TRUE(parseSize("1x8192", width, height));
    EXPECT_EQ(width * 10000 + height, 18192);
    for (const char* bad : {"0x10", "10x0", "8193x10", "10x", "x10", "10X10", "10x10x10", "-1x5", " 5x5"})
        EXPECT_FALSE(parseSize(bad, width, height)) << bad;

    // To the nearest millisecond, halves up.
    const std::pair<const char*, uint64_t> seconds[] = {{"2.5", 2500}, {"40", 40000}, {"68.4999", 68500}, {"0.0004", 0},
                                                        {"0.0005", 1}, {"86400", 86400000}};
    for (const auto& [text, expected] : seconds) {
        uint64_t milliseconds = 7;
        EXPECT_TRUE(parseSeconds(text, milliseconds)) << text;
        EXPECT_EQ(milliseconds, expected) << text;
    }
    uint64_t milliseconds = 0;
    for (const char* bad : {"86400.001", "-1", "1e3", "2.", ".5", "2,5", "", "1.2.3", "5s"})
        EXPECT_FALSE(parseSeconds(bad, milliseconds)) << bad;

    uint32_t count = 0;
    EXPECT_TRUE(parseUnsigned32("4294967295", count));
    EXPECT_EQ(count, 4294967295u);
    EXPECT_FALSE(parseUnsigned32("4294967296", count));
    EXPECT_FALSE(parseUnsigned32("0x10", count));
}

TEST(CaptureOptions, RefusalsSayWhatIsWrongInOneLine) {
    const std::pair<std::vector<const char*>, const char*> cases[] = {
        {{}, "nothing to write"},
        {{"--fps", "61x", "--frames", "f"}, "--fps"},
        {{"--frames"}, "needs a value"},
        {{"--frames="}, "--frames"},
        {{"--speed", "2"}, "unknown option --speed"},
        {{"frames"}, "unexpected argument 'frames'"},
        {{"-x"}, "unexpected argument '-x'"},
        {{"--"}, "unexpected argument '--'"},
        {{"--size", "640"}, "--size"},
        {{"--seed", "-1", "--frames", "f"}, "--seed"},
        {{"--from", "3", "--to", "3", "--frames", "f"}, "--to must be later than --from"},
        {{"--from", "3", "--to", "2", "--frames", "f"}, "--to must be later than --from"},
        {{"--at", "1,,2", "--stills", "s"}, "--at"},
        {{"--at", "1,", "--stills", "s"}, "--at"},
        {{"--at", "2.5"}, "--at needs a directory"},
        {{"--stills", "s"}, "--stills needs the times"},
        {{"--at", "2.5", "--stills", "s", "--video", "v.mp4"}, "another run"},
        {{"--at", "2.5", "--stills", "s", "--from", "1"}, "do not apply to stills"},
        {{"--video", "v.mp4", "--size", "511x512"}, "511x512"},
        {{"--video", "v.mp4", "--size", "512x3"}, "even width and height"},
    };
    for (const auto& [arguments, mentions] : cases) {
        const ParsedCommandLine result = parse(arguments);
        EXPECT_EQ(result.outcome, ParseOutcome::Error) << mentions;
        EXPECT_NE(result.error.find(mentions), std::string::npos) << "'" << result.error << "' lacks '" << mentions << "'";
        EXPECT_EQ(result.error.find('\n'), std::string::npos) << result.error;
    }
    // Odd sizes are fine where no video is made.
    EXPECT_EQ(parse({"--frames", "f", "--size", "511x3"}).outcome, ParseOutcome::Run);
}

}  // namespace
