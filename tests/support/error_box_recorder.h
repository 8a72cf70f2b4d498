// Records the texts of "Error" boxes instead of showing them, for as long as
// the recorder lives; then puts the previous handler back. One recorder at
// a time; main thread only.
#pragma once

#include <string>
#include <vector>

#include "platform/dialog.h"

namespace vesk_test {

class ErrorBoxRecorder {
public:
    ErrorBoxRecorder();
    ~ErrorBoxRecorder();
    ErrorBoxRecorder(const ErrorBoxRecorder&) = delete;
    ErrorBoxRecorder& operator=(const ErrorBoxRecorder&) = delete;

    // Every box text shown since construction, in order.
    const std::vector<std::string>& texts() const { return texts_; }
    void clear() { texts_.clear(); }

private:
    static void record(const char* text);
    std::vector<std::string> texts_;
    ErrorBoxHandler previous_;
};

// A handler that fails the running test with the box's text: no box can
// block an unattended test run. useGlTestContext() installs it.
void failOnErrorBox(const char* text);

}  // namespace vesk_test
