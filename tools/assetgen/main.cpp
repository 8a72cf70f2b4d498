// vesk_assetgen DATA_DIR: draws and synthesises every file the show loads
// and writes them into DATA_DIR. vesk_assetgen --icons DIR: writes the
// desktop's icon, which the show never loads, into DIR. The same code
// always writes the same bytes. Prints how long each file took, to stderr.
#include "music/score.h"
#include "output/sound_file.h"
#include "pictures/pictures.h"
#include "sounds/sounds.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Asset {
    const char* name;
    std::function<bool(const std::string& path)> write;
};

template <typename Draw>
std::function<bool(const std::string&)> picture(Draw draw) {
    return [draw](const std::string& path) { return draw()->writePng(path); };
}

template <typename Synth>
std::function<bool(const std::string&)> sample(Synth synth) {
    return [synth](const std::string& path) { return writeWavFile(path, synth()); };
}

}  // namespace

int main(int argc, char** argv) {
    const bool icons = argc == 3 && std::string(argv[1]) == "--icons";
    if (argc != 2 && !icons) {
        std::fprintf(stderr, "usage: vesk_assetgen DATA_DIR | vesk_assetgen --icons DIR\n");
        return 2;
    }
    const std::string dir = argv[argc - 1];
    const std::vector<Asset> showAssets = {
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
    };
    const std::vector<Asset> iconFiles = {{"vesk.png", picture(drawIcon)}};

    bool ok = true;
    for (const Asset& asset : icons ? iconFiles : showAssets) {
        auto started = std::chrono::steady_clock::now();
        std::string path = dir + "/" + asset.name;
        bool written = asset.write(path);
        double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
        std::fprintf(stderr, "vesk_assetgen: %-30s %s %7.0f ms\n", asset.name, written ? "ok    " : "FAILED", ms);
        ok = ok && written;
    }
    return ok ? 0 : 1;
}
