#include "capture_options.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

const int maxSide = 8192;

bool allDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

// Digits only, at most `limit`; no sign, no spaces.
bool parseBounded(const std::string& text, uint64_t limit, uint64_t& value) {
    if (!allDigits(text)) return false;
    uint64_t result = 0;
    for (char c : text) {
        result = result * 10 + static_cast<uint64_t>(c - '0');
        if (result > limit) return false;
    }
    value = result;
    return true;
}

uint64_t greatestCommonDivisor(uint64_t a, uint64_t b) {
    while (b != 0) {
        uint64_t rest = a % b;
        a = b;
        b = rest;
    }
    return a;
}

// Splits "whole.fraction"; the fraction may be absent but not empty.
bool splitDecimal(const std::string& text, std::string& whole, std::string& fraction) {
    size_t point = text.find('.');
    whole = text.substr(0, point);
    fraction = point == std::string::npos ? std::string() : text.substr(point + 1);
    if (!allDigits(whole)) return false;
    return point == std::string::npos || allDigits(fraction);
}

struct OptionSpec {
    const char* name;
    bool takesValue;
};

const OptionSpec optionSpecs[] = {
    {"help", false},  {"version", false}, {"fps", true},    {"size", true},   {"seed", true},
    {"from", true},   {"to", true},     {"frames", true}, {"at", true},
    {"stills", true}, {"audio", true},  {"video", true},  {"sheet", true},
    {"timer-start", true},
};

const OptionSpec* findOption(const std::string& name) {
    for (const OptionSpec& spec : optionSpecs)
        if (name == spec.name) return &spec;
    return nullptr;
}

ParsedCommandLine failure(const std::string& message) {
    ParsedCommandLine result;
    result.outcome = ParseOutcome::Error;
    result.error = message;
    return result;
}

// Applies one option with its value; an empty string on success.
std::string applyOption(const std::string& name, const std::string& value, CaptureOptions& options) {
    const std::string bad = "--" + name + ": '" + value + "' is not ";
    if (name == "fps") {
        if (!parseFrameRate(value, options.fps)) return bad + "a frame rate from 1 to 1000 (such as 60 or 60000/1001)";
    } else if (name == "size") {
        if (!parseSize(value, options.width, options.height)) return bad + "a size WxH with sides from 1 to 8192";
    } else if (name == "seed") {
        if (!parseUnsigned32(value, options.seed)) return bad + "a seed from 0 to 4294967295";
    } else if (name == "timer-start") {
        if (!parseUnsigned32(value, options.timerStart)) return bad + "a count from 0 to 4294967295";
    } else if (name == "from") {
        if (!parseSeconds(value, options.fromMilliseconds)) return bad + "a time in seconds from 0 to 86400";
    } else if (name == "to") {
        if (!parseSeconds(value, options.toMilliseconds)) return bad + "a time in seconds from 0 to 86400";
        options.hasTo = true;
    } else if (name == "at") {
        size_t begin = 0;
        while (true) {
            size_t comma = value.find(',', begin);
            std::string item = value.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin);
            uint64_t milliseconds = 0;
            if (!parseSeconds(item, milliseconds))
                return "--at: '" + item + "' is not a time in seconds from 0 to 86400";
            options.stillMilliseconds.push_back(milliseconds);
            if (comma == std::string::npos) break;
            begin = comma + 1;
        }
    } else {
        if (value.empty()) return "--" + name + " needs a file or directory name";
        if (name == "frames") options.framesDirectory = value;
        if (name == "stills") options.stillsDirectory = value;
        if (name == "audio") options.audioPath = value;
        if (name == "video") options.videoPath = value;
        if (name == "sheet") options.sheetPath = value;
    }
    return std::string();
}

// The checks that concern several options at once.
std::string checkCombination(const CaptureOptions& options) {
    bool stills = !options.stillMilliseconds.empty() || !options.stillsDirectory.empty();
    bool others = !options.framesDirectory.empty() || !options.audioPath.empty() || !options.videoPath.empty() ||
                  !options.sheetPath.empty();
    if (stills) {
        if (options.stillMilliseconds.empty()) return "--stills needs the times to save, given with --at";
        if (options.stillsDirectory.empty()) return "--at needs a directory for the stills, given with --stills";
        if (others) return "--at and --stills run the show on their own; give --frames, --audio, --video or --sheet in another run";
        if (options.fromMilliseconds != 0 || options.hasTo)
            return "--from and --to do not apply to stills: each still is drawn at its --at time";
        return std::string();
    }
    if (!others) return "nothing to write: give --frames, --audio, --video, --sheet, or --at with --stills";
    if (options.hasTo && options.toMilliseconds <= options.fromMilliseconds)
        return "--to must be later than --from";
    if (!options.videoPath.empty() && (options.width % 2 != 0 || options.height % 2 != 0))
        return "--video needs an even width and height (H.264 in yuv420p); " + std::to_string(options.width) + "x" +
               std::to_string(options.height) + " is not";
    return std::string();
}

}  // namespace

bool parseUnsigned32(const std::string& text, uint32_t& value) {
    uint64_t wide = 0;
    if (!parseBounded(text, UINT32_MAX, wide)) return false;
    value = static_cast<uint32_t>(wide);
    return true;
}

bool parseFrameRate(const std::string& text, FrameRate& rate) {
    uint64_t numerator = 0, denominator = 1;
    size_t slash = text.find('/');
    if (slash != std::string::npos) {
        if (!parseBounded(text.substr(0, slash), maxFrameRateTerm, numerator)) return false;
        if (!parseBounded(text.substr(slash + 1), maxFrameRateTerm, denominator)) return false;
    } else {
        std::string whole, fraction;
        if (!splitDecimal(text, whole, fraction) || fraction.size() > 6) return false;
        if (!parseBounded(whole + fraction, maxFrameRateTerm * 1000000, numerator)) return false;
        for (size_t i = 0; i < fraction.size(); ++i) denominator *= 10;
    }
    if (numerator == 0 || denominator == 0) return false;
    uint64_t divisor = greatestCommonDivisor(numerator, denominator);
    numerator /= divisor;
    denominator /= divisor;
    if (numerator > maxFrameRateTerm || denominator > maxFrameRateTerm) return false;
    // Exact comparisons with 1 and 1000 frames per second.
    if (numerator < denominator || numerator > 1000 * denominator) return false;
    rate.numerator = numerator;
    rate.denominator = denominator;
    return true;
}

bool parseSize(const std::string& text, int& width, int& height) {
    size_t cross = text.find('x');
    if (cross == std::string::npos) return false;
    uint64_t w = 0, h = 0;
    if (!parseBounded(text.substr(0, cross), maxSide, w) || !parseBounded(text.substr(cross + 1), maxSide, h))
        return false;
    if (w == 0 || h == 0) return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

bool parseSeconds(const std::string& text, uint64_t& milliseconds) {
    std::string whole, fraction;
    if (!splitDecimal(text, whole, fraction)) return false;
    uint64_t seconds = 0;
    if (!parseBounded(whole, maxShowMilliseconds / 1000, seconds)) return false;
    // Three digits of milliseconds, the fourth rounds half up.
    std::string digits = (fraction + "0000").substr(0, 4);
    uint64_t tenths = 0;
    parseBounded(digits, 9999, tenths);
    uint64_t result = seconds * 1000 + (tenths + 5) / 10;
    if (result > maxShowMilliseconds) return false;
    milliseconds = result;
    return true;
}

ParsedCommandLine parseCaptureOptions(int argc, const char* const* argv) {
    ParsedCommandLine result;
    CaptureOptions& options = result.options;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "-h") argument = "--help";
        if (argument.compare(0, 2, "--") != 0 || argument.size() == 2)
            return failure("unexpected argument '" + argument + "'");
        std::string name = argument.substr(2), value;
        size_t equals = name.find('=');
        bool inlineValue = equals != std::string::npos;
        if (inlineValue) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        const OptionSpec* spec = findOption(name);
        if (!spec) return failure("unknown option --" + name);
        if (!spec->takesValue) {
            if (inlineValue) return failure("--" + name + " takes no value");
            result.outcome = name == "help" ? ParseOutcome::Help : ParseOutcome::Version;
            return result;
        }
        if (!inlineValue) {
            if (i + 1 >= argc) return failure("--" + name + " needs a value");
            value = argv[++i];
        }
        std::string problem = applyOption(name, value, options);
        if (!problem.empty()) return failure(problem);
    }
    std::sort(options.stillMilliseconds.begin(), options.stillMilliseconds.end());
    options.stillMilliseconds.erase(std::unique(options.stillMilliseconds.begin(), options.stillMilliseconds.end()),
                                    options.stillMilliseconds.end());
    std::string problem = checkCombination(options);
    if (!problem.empty()) return failure(problem);
    result.outcome = ParseOutcome::Run;
    return result;
}

const char* captureUsage() {
    return "usage: vesk-capture [--fps N] [--size WxH] [--seed N] [--from S] [--to S]\n"
           "                    [--frames DIR] [--audio FILE.wav] [--video FILE.mp4] [--sheet FILE.png]\n"
           "       vesk-capture [--fps N] [--size WxH] [--seed N] --at T[,T...] --stills DIR\n";
}

const char* captureHelp() {
    return "Renders the show off-screen, one frame at a time, with its sound mixed for\n"
           "exactly the samples of each frame. It reads the show's data/ from the working\n"
           "directory or, when there is none, from the installed show's; outputs are\n"
           "written relative to the working directory.\n"
           "\n"
           "Options:\n"
           "  --fps N          frames per second, a whole number, a decimal or a fraction\n"
           "                   such as 60000/1001; from 1 to 1000 (default 60)\n"
           "  --size WxH       picture size in pixels (default 512x512); the shorter side\n"
           "                   spans the view's -1 to 1, as in the show's window\n"
           "  --seed N         seed of the bubbles' random generator (default 1); the same\n"
           "                   seed gives the same bytes\n"
           "  --from S         first second of show time to write (default 0); earlier\n"
           "                   frames are still run, so motion has its history\n"
           "  --to S           end of the range, exclusive (default: the show's end)\n"
           "  --frames DIR     every frame of the range as DIR/NNNNNN.png (frame index)\n"
           "  --audio FILE     the mix of the range as a 44.1 kHz 16-bit stereo WAV\n"
           "  --video FILE     frames and sound as H.264 (yuv420p) and AAC, encoded by the\n"
           "                   ffmpeg program; width and height must be even\n"
           "  --sheet FILE     a contact sheet of 12 frames spread evenly over the range,\n"
           "                   each labelled with its show time, as PNG\n"
           "  --at T[,T...]    show times in seconds at which to save stills; the show runs\n"
           "                   from 0 at the chosen rate and each still is drawn at\n"
           "                   exactly its time\n"
           "  --stills DIR     where the stills go, as DIR/at-MMMMMM.png (milliseconds)\n"
           "  --timer-start N  the millisecond timer's count at start-up (default 0), for\n"
           "                   checking that a wrap of the timer changes nothing\n"
           "  --help, -h       this text\n"
           "  --version        the version number\n"
           "\n"
           "Frame k is drawn at floor(k * 1000 / fps) ms and owns the samples from\n"
           "floor(k * 44100 / fps) up to the next frame's first. Errors the show would put\n"
           "in an \"Error\" box are printed as \"Error: <text>\" and the capture goes on.\n"
           "Ctrl-C stops cleanly: what was written is playable.\n"
           "\n"
           "Exit status: 0 done, 1 failed, 2 bad command line, 130 interrupted.\n";
}

const char* captureVersion() { return "vesk-capture " VESK_VERSION "\n"; }

bool useInstalledDataIfNeeded(CaptureOptions& options, const std::string& installedParent, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code failed;
    if (fs::is_directory("data", failed)) return true;
    // With no data anywhere the show runs here, and its boxes name every
    // file it could not load, as the show's own would.
    if (!fs::is_directory(fs::path(installedParent) / "data", failed)) return true;
    for (std::string* path : {&options.framesDirectory, &options.stillsDirectory, &options.audioPath,
                              &options.videoPath, &options.sheetPath}) {
        if (!path->empty()) *path = fs::absolute(*path, failed).string();
    }
    fs::current_path(installedParent, failed);
    if (failed) error = "cannot read the installed data in " + installedParent + ": " + failed.message();
    return !failed;
}
