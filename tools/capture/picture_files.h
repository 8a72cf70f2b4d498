// Writes each captured frame as a PNG file of its own in one directory,
// named by frame index (NNNNNN.png) or, for stills, by the show time in
// milliseconds at which it was drawn (at-MMMMMM.png).
#pragma once

#include "capture_output.h"

#include <memory>
#include <string>

class PictureFiles : public CaptureOutput {
public:
    enum class Naming { ByFrameIndex, ByMilliseconds };

    // Creates the directory (and its parents) if need be; null, with a
    // one-line reason in `error`, when it cannot.
    static std::unique_ptr<PictureFiles> create(const std::string& directory, Naming naming, std::string& error);

    bool writeFrame(const CapturedFrame& frame, std::string& error) override;
    bool finish(std::string&) override { return true; }

    // The file name of a frame, without the directory: "000042.png" or
    // "at-002500.png". Indices and times of more than six digits keep all
    // their digits.
    static std::string fileName(Naming naming, const CapturedFrame& frame);

private:
    PictureFiles(const std::string& directory, Naming naming) : directory(directory), naming(naming) {}

    std::string directory;
    Naming naming;
};
