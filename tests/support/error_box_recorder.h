// Records the texts of "Error" boxes instead of showing them, for as long as
// the recorder lives; then puts the previous handler back. One recorder at
// a time; main thread only.
#pragma once

#include "platform/dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vesk_test {

class ErrorBoxRecorder {
public:
    ErrorBoxRecorder() : previous_(errorBoxHandler()) {
        EXPECT_EQ(active, nullptr) << "only one ErrorBoxRecorder may be active at a time";
        active = this;
        setErrorBoxHandler([](const char* text) { active->texts_.push_back(text); });
    }
    ~ErrorBoxRecorder() { active = nullptr, setErrorBoxHandler(previous_); }
    // Every box text shown since construction, in order.
    const std::vector<std::string>& texts() const { return texts_; }
    void clear() { texts_.clear(); }

private:
    inline static ErrorBoxRecorder* active = nullptr;
    std::vector<std::string> texts_;
    ErrorBoxHandler previous_;
};

}  // namespace vesk_test
