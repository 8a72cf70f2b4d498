#include "progress_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

// What was written to `stream`, which is closed afterwards.
std::string readBackAndClose(std::FILE* stream) {
    std::rewind(stream);
    char text[256] = {};
    size_t length = std::fread(text, 1, sizeof text - 1, stream);
    std::fclose(stream);
    return std::string(text, length);
}

TEST(ProgressLine, AwayFromATerminalPrintsOnlyTheClosingLine) {
    std::FILE* stream = std::tmpfile();
    ASSERT_TRUE(stream);
    ProgressLine progress(stream, false, 3);
    progress.update(1, 0.5);
    progress.update(3, 1.5);
    progress.finish();
    const std::string printed = readBackAndClose(stream);
    EXPECT_EQ(printed.rfind("vesk-capture: 3 of 3 frames in 0:00, ", 0), 0u) << printed;
    EXPECT_EQ(printed.find('\r'), std::string::npos);
    EXPECT_EQ(printed.back(), '\n');
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1);
}

TEST(ProgressLine, OnATerminalRedrawsInPlace) {
    std::FILE* stream = std::tmpfile();
    ASSERT_TRUE(stream);
    ProgressLine progress(stream, true, 3);
    progress.update(1, 0.5);
    progress.finish();
    const std::string printed = readBackAndClose(stream);
    EXPECT_EQ(printed.rfind("\rvesk-capture: frame 1/3", 0), 0u) << printed;
    EXPECT_NE(printed.find("\rvesk-capture: 1 of 3 frames"), std::string::npos) << printed;
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1);
}

}  // namespace
