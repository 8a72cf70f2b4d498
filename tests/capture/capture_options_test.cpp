#include "capture_options.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

ParsedCommandLine parse(std::initializer_list<const char*> arguments) {
    std::vector<const char*> argv = {"vesk-capture"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return parseCaptureOptions(static_cast<int>(argv.size()), argv.data());
}

// The one-line reason of a refused command line; empty if it was accepted.
std::string refusal(std::initializer_list<const char*> arguments) {
    ParsedCommandLine result = parse(arguments);
    return result.outcome == ParseOutcome::Error ? result.error : std::string();
}

TEST(CaptureOptions, DefaultsAreTheWholeShowAtSixtyFramesSeedOne) {
    ParsedCommandLine result = parse({"--frames", "out"});
    ASSERT_EQ(result.outcome, ParseOutcome::Run) << result.error;
    const CaptureOptions& options = result.options;
    EXPECT_EQ(options.fps.numerator, 60u);
    EXPECT_EQ(options.fps.denominator, 1u);
    EXPECT_EQ(options.width, 512);
    EXPECT_EQ(options.height, 512);
    EXPECT_EQ(options.seed, 1u);
    EXPECT_EQ(options.fromMilliseconds, 0u);
    EXPECT_FALSE(options.hasTo);
    EXPECT_EQ(options.timerStart, 0u);
    EXPECT_EQ(options.framesDirectory, "out");
}

TEST(CaptureOptions, ValuesInBothSpellings) {
    ParsedCommandLine result = parse({"--fps=30000/1001", "--size", "640x360", "--seed=7", "--from", "1.5",
                                      "--to=2.25", "--video", "v.mp4", "--audio=a.wav", "--sheet", "s.png",
                                      "--timer-start", "4294967295"});
    ASSERT_EQ(result.outcome, ParseOutcome::Run) << result.error;
    const CaptureOptions& options = result.options;
    EXPECT_EQ(options.fps.numerator, 30000u);
    EXPECT_EQ(options.fps.denominator, 1001u);
    EXPECT_EQ(options.width, 640);
    EXPECT_EQ(options.height, 360);
    EXPECT_EQ(options.seed, 7u);
    EXPECT_EQ(options.fromMilliseconds, 1500u);
    EXPECT_TRUE(options.hasTo);
    EXPECT_EQ(options.toMilliseconds, 2250u);
    EXPECT_EQ(options.videoPath, "v.mp4");
    EXPECT_EQ(options.audioPath, "a.wav");
    EXPECT_EQ(options.sheetPath, "s.png");
    EXPECT_EQ(options.timerStart, 4294967295u);
}

TEST(CaptureOptions, FrameRatesAreExactFractionsFromOneToAThousand) {
    FrameRate rate;
    ASSERT_TRUE(parseFrameRate("29.97", rate));
    EXPECT_EQ(rate.numerator, 2997u);
    EXPECT_EQ(rate.denominator, 100u);
    ASSERT_TRUE(parseFrameRate("120/2", rate));
    EXPECT_EQ(rate.numerator, 60u);
    EXPECT_EQ(rate.denominator, 1u);
    EXPECT_TRUE(parseFrameRate("1", rate));
    EXPECT_TRUE(parseFrameRate("1000", rate));
    EXPECT_TRUE(parseFrameRate("1000000/1000", rate));
    for (const char* bad : {"0", "0.5", "999/1000", "1001", "1000.001", "60/0", "0/1", "-60", "+60", "60fps", "",
                            "6 0", "/60", "60/", ".5", "1e2", "18446744073709551617"})
        EXPECT_FALSE(parseFrameRate(bad, rate)) << bad;
}

TEST(CaptureOptions, SizesAndSeconds) {
    int width = 0, height = 0;
    ASSERT_TRUE(parseSize("1x8192", width, height));
    EXPECT_EQ(width, 1);
    EXPECT_EQ(height, 8192);
    for (const char* bad : {"0x10", "10x0", "8193x10", "10x", "x10", "10X10", "10x10x10", "-1x5", " 5x5"})
        EXPECT_FALSE(parseSize(bad, width, height)) << bad;

    uint64_t milliseconds = 0;
    ASSERT_TRUE(parseSeconds("2.5", milliseconds));
    EXPECT_EQ(milliseconds, 2500u);
    ASSERT_TRUE(parseSeconds("40", milliseconds));
    EXPECT_EQ(milliseconds, 40000u);
    // To the nearest millisecond, halves up.
    ASSERT_TRUE(parseSeconds("68.4999", milliseconds));
    EXPECT_EQ(milliseconds, 68500u);
    ASSERT_TRUE(parseSeconds("0.0004", milliseconds));
    EXPECT_EQ(milliseconds, 0u);
    ASSERT_TRUE(parseSeconds("0.0005", milliseconds));
    EXPECT_EQ(milliseconds, 1u);
    ASSERT_TRUE(parseSeconds("86400", milliseconds));
    EXPECT_EQ(milliseconds, 86400000u);
    for (const char* bad : {"86400.001", "-1", "1e3", "2.", ".5", "2,5", "", "1.2.3", "5s"})
        EXPECT_FALSE(parseSeconds(bad, milliseconds)) << bad;

    uint32_t count = 0;
    EXPECT_TRUE(parseUnsigned32("4294967295", count));
    EXPECT_EQ(count, 4294967295u);
    EXPECT_FALSE(parseUnsigned32("4294967296", count));
    EXPECT_FALSE(parseUnsigned32("0x10", count));
}

TEST(CaptureOptions, StillTimesAreSortedWithoutRepeats) {
    ParsedCommandLine result = parse({"--at", "10,2.5,10", "--at=0", "--stills", "s"});
    ASSERT_EQ(result.outcome, ParseOutcome::Run) << result.error;
    EXPECT_EQ(result.options.stillMilliseconds, (std::vector<uint64_t>{0, 2500, 10000}));
    EXPECT_NE(refusal({"--at", "1,,2", "--stills", "s"}).find("--at"), std::string::npos);
    EXPECT_NE(refusal({"--at", "1,", "--stills", "s"}).find("--at"), std::string::npos);
}

TEST(CaptureOptions, HelpWinsOverWhatFollows) {
    EXPECT_EQ(parse({"--help"}).outcome, ParseOutcome::Help);
    EXPECT_EQ(parse({"-h", "--bogus"}).outcome, ParseOutcome::Help);
    EXPECT_EQ(parse({"--help=yes"}).outcome, ParseOutcome::Error);
    // The help names every option.
    for (const char* option : {"--fps", "--size", "--seed", "--from", "--to", "--frames", "--at", "--stills",
                               "--audio", "--video", "--sheet", "--timer-start", "--help"})
        EXPECT_NE(std::string(captureHelp()).find(option), std::string::npos) << option;
}

TEST(CaptureOptions, RefusalsSayWhatIsWrongInOneLine) {
    struct Case {
        std::initializer_list<const char*> arguments;
        const char* mentions;
    };
    const Case cases[] = {
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
        {{"--at", "2.5"}, "--at needs a directory"},
        {{"--stills", "s"}, "--stills needs the times"},
        {{"--at", "2.5", "--stills", "s", "--video", "v.mp4"}, "another run"},
        {{"--at", "2.5", "--stills", "s", "--from", "1"}, "do not apply to stills"},
        {{"--video", "v.mp4", "--size", "511x512"}, "511x512"},
        {{"--video", "v.mp4", "--size", "512x3"}, "even width and height"},
    };
    for (const Case& test : cases) {
        std::string reason = refusal(test.arguments);
        EXPECT_NE(reason.find(test.mentions), std::string::npos) << "'" << reason << "' lacks '" << test.mentions << "'";
        EXPECT_EQ(reason.find('\n'), std::string::npos) << reason;
    }
    // Odd sizes are fine where no video is made.
    EXPECT_EQ(refusal({"--frames", "f", "--size", "511x3"}), "");
}

}  // namespace
