// vesk_assetgen MANIFEST DATA_DIR: draws and synthesises each file that
// MANIFEST lists (one name a line, # for comments) and writes it into
// DATA_DIR; a listed name it cannot make fails the run. vesk_assetgen
// --icons DIR: writes the desktop's icon, which the show never loads, into
// DIR. The same code always writes the same bytes. Prints how long each file took, to stderr.
#include "music/score.h"
#include "output/sound_file.h"
#include "pictures/pictures.h"
#include "sounds/sounds.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

typedef std::function<bool(const std::string& path)> Writer;

template <typename Draw>
Writer picture(Draw draw) {
    return [draw](const std::string& path) { return draw()->writePng(path); };
}

template <typename Synth>
Writer sample(Synth synth) {
    return [synth](const std::string& path) { return writeWavFile(path, synth()); };
}

// The names MANIFEST lists, in its order; false when it cannot be read.
bool readManifest(const char* path, std::vector<std::string>& names) {
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] != '#') names.push_back(line);
    }
    return in.eof() && !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> names;
    const bool icons = argc == 3 && std::string(argv[1]) == "--icons";
    if (icons) names = {"vesk.png"};
    if (argc != 3 || (!icons && !readManifest(argv[1], names))) {
        std::fprintf(stderr, "usage: vesk_assetgen MANIFEST DATA_DIR | vesk_assetgen --icons DIR\n");
        return 2;
    }
    const std::string dir = argv[2];
    const std::map<std::string, Writer> writers = {
        {"fishtank.png", picture(drawFishtank)},
        {"spinefin-256-transparent.png", picture([] { return drawSpinefin(false); })},
        {"spinefin-open.png", picture([] { return drawSpinefin(true); })},
        {"tolvane-transparent.png", picture(drawTolvane)},
        {"kelpwake-filled.png", picture(drawTitle)},
        {"by-vesk.png", picture(drawByline)},
        {"outro.png", picture(drawOutro)},
        {"outro2.png", picture(drawOutroCredits)},
        {"blood.png", picture(drawBlood)},
        {"bubble.png", picture(drawBubble)},
        {"spinefin.wav", sample(synthSpinefinBlubs)},
        {"carcrash.wav", sample(synthCarcrash)},
        {"juice.wav", sample(synthJuice)},
        {"tolvane.wav", sample(synthTolvaneVoice)},
        {"kelpwake.mp3", [](const std::string& path) { return writeMp3File(path, composeKelpwake()); }},
        {"vesk.png", picture(drawIcon)},
    };

    bool ok = true;
    for (const std::string& name : names) {
        auto started = std::chrono::steady_clock::now();
        const auto writer = writers.find(name);
        const bool written = writer != writers.end() && writer->second(dir + "/" + name);
        double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
        std::fprintf(stderr, "vesk_assetgen: %-30s %s %7.0f ms\n", name.c_str(), written ? "ok    " : "FAILED", ms);
        ok = ok && written;
    }
    return ok ? 0 : 1;
}
