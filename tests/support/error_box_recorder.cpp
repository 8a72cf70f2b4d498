#include "support/error_box_recorder.h"

#include <gtest/gtest.h>

namespace vesk_test {

namespace {
ErrorBoxRecorder* active = nullptr;
}

ErrorBoxRecorder::ErrorBoxRecorder() : previous_(errorBoxHandler()) {
    EXPECT_EQ(active, nullptr) << "only one ErrorBoxRecorder may be active at a time";
    active = this;
    setErrorBoxHandler(record);
}

ErrorBoxRecorder::~ErrorBoxRecorder() {
    active = nullptr;
    setErrorBoxHandler(previous_);
}

void ErrorBoxRecorder::record(const char* text) {
    if (active) active->texts_.push_back(text);
}

void failOnErrorBox(const char* text) { ADD_FAILURE() << "unexpected \"Error\" box: " << text; }

}  // namespace vesk_test
