// The capture's command line: values at the edges of their ranges, and a
// one-line reason for every refusal.
#include "capture_options.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

ParsedCommandLine parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "vesk-capture");
    return parseCaptureOptions(int(arguments.size()), arguments.data());
}

TEST(CaptureOptions, DefaultsValuesAndNumbersAtTheEdgesOfTheirRanges) {
    const auto values = [](const CaptureOptions& o) {
        return std::vector<uint64_t>{o.fps.numerator, o.fps.denominator, uint64_t(o.width), uint64_t(o.height), o.seed, o.fromMilliseconds, o.hasTo ? o.toMilliseconds : 0, o.timerStart};
    };
    EXPECT_EQ(values(parse({"--frames", "out"}).options), (std::vector<uint64_t>{60, 1, 512, 512, 1, 0, 0, 0}));
    const ParsedCommandLine result = parse({"--fps=30000/1001", "--size", "640x360", "--seed=7", "--from", "1.5", "--to=2.25",
                                            "--video", "v.mp4", "--audio=a.wav", "--sheet", "s.png", "--timer-start", "4294967295"});
    EXPECT_EQ(values(result.options), (std::vector<uint64_t>{30000, 1001, 640, 360, 7, 1500, 2250, 4294967295})) << result.error;
    // Still times come sorted, without repeats; help wins over what follows.
    EXPECT_EQ(parse({"--at", "10,2.5,10", "--at=0", "--stills", "s"}).options.stillMilliseconds, (std::vector<uint64_t>{0, 2500, 10000}));
    EXPECT_TRUE(parse({"-h", "--bogus"}).outcome == ParseOutcome::Help && parse({"--version", "--help"}).outcome == ParseOutcome::Version);

    FrameRate rate;
    EXPECT_TRUE(parseFrameRate("29.97", rate) && rate.numerator == 2997 && rate.denominator == 100);
    for (const char* good : {"1", "1000", "1000000/1000"}) EXPECT_TRUE(parseFrameRate(good, rate)) << good;
    for (const char* bad : {"0", "999/1000", "1001", "1000.001", "60/0", "-60", "60fps", "", "/60", ".5", "18446744073709551617"})
        EXPECT_FALSE(parseFrameRate(bad, rate)) << bad;
    int width = 0, height = 0;
    EXPECT_TRUE(parseSize("1x8192", width, height) && width == 1 && height == 8192);
    for (const char* bad : {"0x10", "8193x10", "10x", "10X10", "10x10x10", "-1x5"}) EXPECT_FALSE(parseSize(bad, width, height)) << bad;
    // To the nearest millisecond, halves up.
    const std::pair<const char*, uint64_t> seconds[] = {{"40", 40000}, {"68.4999", 68500}, {"0.0004", 0}, {"0.0005", 1}, {"86400", 86400000}};
    for (const auto& [text, expected] : seconds) {
        uint64_t milliseconds = 7;
        EXPECT_TRUE(parseSeconds(text, milliseconds) && milliseconds == expected) << text << " " << milliseconds;
    }
    uint64_t milliseconds = 0;
    for (const char* bad : {"86400.001", "-1", "1e3", "2.", ".5", "5s"}) EXPECT_FALSE(parseSeconds(bad, milliseconds)) << bad;
    uint32_t count = 0;  // the timer's count
    EXPECT_FALSE(parseUnsigned32("4294967296", count));
}

TEST(CaptureOptions, RefusalsSayWhatIsWrongInOneLine) {
    const std::pair<std::vector<const char*>, const char*> cases[] = {
        {{}, "nothing to write"},
        {{"--frames"}, "needs a value"},
        {{"--speed", "2"}, "unknown option --speed"},
        {{"frames"}, "unexpected argument 'frames'"},
        {{"--from", "3", "--to", "3", "--frames", "f"}, "--to must be later than --from"},
        {{"--at", "1,,2", "--stills", "s"}, "--at"},
        {{"--stills", "s"}, "--stills needs the times"},
        {{"--at", "2.5", "--stills", "s", "--video", "v.mp4"}, "another run"},
        {{"--video", "v.mp4", "--size", "512x3"}, "even width and height"},
    };
    for (const auto& [arguments, mentions] : cases) {
        const ParsedCommandLine result = parse(arguments);
        EXPECT_TRUE(result.outcome == ParseOutcome::Error && result.error.find(mentions) != std::string::npos &&
                    result.error.find('\n') == std::string::npos) << "'" << result.error << "' lacks '" << mentions << "'";
    }
    EXPECT_EQ(parse({"--frames", "f", "--size", "511x3"}).outcome, ParseOutcome::Run);  // odd is fine without a video
}

// Only without a data/ here is the installed data read: the run moves
// there, and the outputs named here stay here.
TEST(CaptureOptions, TheInstalledDataIsReadOnlyWithoutDataHereAndOutputsStayHere) {
    namespace fs = std::filesystem;
    const fs::path home = fs::current_path();
    for (const bool dataHere : {false, true}) {
        const fs::path here = fs::path(testing::TempDir()) / (dataHere ? "vesk-own" : "vesk-here"), installed = here / "installed";
        fs::create_directories(installed / "data");
        if (dataHere) fs::create_directories(here / "data");
        fs::current_path(here);
        CaptureOptions options = parse({"--frames", "f", "--audio", "/elsewhere/a.wav"}).options;
        std::string error;
        EXPECT_TRUE(useInstalledDataIfNeeded(options, installed.string(), error)) << error;
        EXPECT_EQ(fs::current_path(), dataHere ? here : installed) << dataHere;
        EXPECT_EQ(options.framesDirectory, dataHere ? "f" : (here / "f").string()) << dataHere;
        EXPECT_EQ(options.audioPath, "/elsewhere/a.wav") << dataHere;
        fs::current_path(home);
    }
}

}  // namespace
