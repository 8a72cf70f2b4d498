#include "picture_files.h"

#include "png_writer.h"

#include <cinttypes>
#include <cstdio>
#include <filesystem>

std::unique_ptr<PictureFiles> PictureFiles::create(const std::string& directory, Naming naming, std::string& error) {
    std::error_code failure;
    std::filesystem::create_directories(directory, failure);
    if (failure || !std::filesystem::is_directory(directory, failure)) {
        error = "cannot make the directory " + directory + (failure ? ": " + failure.message() : "");
        return nullptr;
    }
    return std::unique_ptr<PictureFiles>(new PictureFiles(directory, naming));
}

std::string PictureFiles::fileName(Naming naming, const CapturedFrame& frame) {
    char name[40];
    if (naming == Naming::ByFrameIndex)
        std::snprintf(name, sizeof name, "%06" PRId64 ".png", frame.index);
    else
        std::snprintf(name, sizeof name, "at-%06" PRIu64 ".png", frame.milliseconds);
    return name;
}

bool PictureFiles::writeFrame(const CapturedFrame& frame, std::string& error) {
    std::string path = directory + "/" + fileName(naming, frame);
    return writePng(path.c_str(), frame.rgb, frame.width, frame.height, error);
}
