// vesk-break-asset: writes a broken copy of an asset file, for the bad-input
// checks. One way of breaking per call:
//
//   half        the first half of the file (rounded down)
//   random      as many bytes as the file, pseudo-random, the same every
//               run for the same file name (so a failure can be repeated)
//   huge-png    a PNG whose header claims 60000 x 60000 pixels; the rest of
//               the file is unchanged and the header's CRC is valid, so only
//               the size can refuse it
//   wav-huge    a WAV whose RIFF and data sizes claim 0xFFFFFFFF bytes
//   wav-short   a WAV whose data chunk claims 1 byte (half a sample frame)
//   wav-fmt     a WAV whose fmt chunk claims 0x7FFFFFF0 bytes
//
// Usage: vesk-break-asset WAY SOURCE DESTINATION. Exit status 0 when the
// copy was written, 1 when the source does not suit the way, 2 for a bad
// command line.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

typedef std::vector<unsigned char> Bytes;

bool readFile(const char* path, Bytes& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool writeFile(const char* path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

uint32_t crc32(const unsigned char* data, size_t length) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putBigEndian(Bytes& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(value >> (24 - 8 * i));
}

void putLittleEndian(Bytes& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

// xorshift32 seeded from the file's name (FNV-1a), never from the clock.
Bytes randomBytes(const std::string& name, size_t count) {
    uint32_t state = 2166136261u;
    for (unsigned char c : name) state = (state ^ c) * 16777619u;
    if (state == 0) state = 1;
    Bytes bytes(count);
    for (unsigned char& b : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        b = static_cast<unsigned char>(state >> 24);
    }
    return bytes;
}

// The signature, then IHDR first: length 13, "IHDR", width, height, ...
bool claimHugePicture(Bytes& png) {
    static const unsigned char start[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    if (png.size() < 33 || std::memcmp(png.data(), start, sizeof start) != 0) return false;
    putBigEndian(png, 16, 60000);
    putBigEndian(png, 20, 60000);
    putBigEndian(png, 29, crc32(&png[12], 17));  // over "IHDR" and its 13 bytes
    return true;
}

// Offsets of the fmt and data chunks' size fields in a plain RIFF WAVE file.
bool findChunks(const Bytes& wav, size_t& fmtSize, size_t& dataSize) {
    if (wav.size() < 12 || std::memcmp(wav.data(), "RIFF", 4) != 0 || std::memcmp(&wav[8], "WAVE", 4) != 0)
        return false;
    fmtSize = dataSize = 0;
    size_t at = 12;
    while (at + 8 <= wav.size()) {
        uint32_t size = wav[at + 4] | wav[at + 5] << 8 | wav[at + 6] << 16 | uint32_t(wav[at + 7]) << 24;
        if (std::memcmp(&wav[at], "fmt ", 4) == 0) fmtSize = at + 4;
        if (std::memcmp(&wav[at], "data", 4) == 0) {
            dataSize = at + 4;
            break;
        }
        at += 8 + size + (size & 1);
    }
    return fmtSize != 0 && dataSize != 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: vesk-break-asset half|random|huge-png|wav-huge|wav-short|wav-fmt SOURCE DESTINATION\n");
        return 2;
    }
    const std::string way = argv[1];
    Bytes bytes;
    if (!readFile(argv[2], bytes)) {
        std::fprintf(stderr, "vesk-break-asset: cannot read %s\n", argv[2]);
        return 1;
    }
    size_t fmtSize = 0, dataSize = 0;
    const bool wav = findChunks(bytes, fmtSize, dataSize);
    if (way == "half") {
        bytes.resize(bytes.size() / 2);
    } else if (way == "random") {
        std::string name = argv[2];
        bytes = randomBytes(name.substr(name.find_last_of('/') + 1), bytes.size());
    } else if (way == "huge-png") {
        if (!claimHugePicture(bytes)) return 1;
    } else if (way == "wav-huge" && wav) {
        putLittleEndian(bytes, 4, 0xFFFFFFFFu);
        putLittleEndian(bytes, dataSize, 0xFFFFFFFFu);
    } else if (way == "wav-short" && wav) {
        putLittleEndian(bytes, dataSize, 1);
    } else if (way == "wav-fmt" && wav) {
        putLittleEndian(bytes, fmtSize, 0x7FFFFFF0u);
    } else if (way.compare(0, 4, "wav-") == 0) {
        std::fprintf(stderr, "vesk-break-asset: %s is not a plain WAV file\n", argv[2]);
        return 1;
    } else {
        std::fprintf(stderr, "vesk-break-asset: unknown way '%s'\n", way.c_str());
        return 2;
    }
    if (!writeFile(argv[3], bytes)) {
        std::fprintf(stderr, "vesk-break-asset: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
