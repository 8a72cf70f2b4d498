// The files the show loads from data/.
#pragma once

#include <string>
#include <vector>

inline const std::vector<std::string>& assetNames() {
    static const std::vector<std::string> names = {
        "kelpwake.mp3", "spinefin.wav", "juice.wav", "tolvane.wav", "carcrash.wav",
        "fishtank.png", "spinefin-256-transparent.png", "spinefin-open.png", "tolvane-transparent.png",
        "kelpwake-filled.png", "by-vesk.png", "outro.png", "outro2.png", "blood.png", "bubble.png"};
    return names;
}
