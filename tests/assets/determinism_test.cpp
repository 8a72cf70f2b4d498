// The generator writes the same bytes on every run: it runs at every fresh
// build, and the show's captures are compared across builds.
#include "assets/asset_names.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string makeTempDir() {
    char pattern[] = "/tmp/vesk_assets_XXXXXX";
    const char* dir = mkdtemp(pattern);
    return dir ? dir : "";
}

bool runGenerator(const std::string& dir) {
    std::string command = std::string("'") + VESK_ASSETGEN + "' '" + dir + "' 2>/dev/null";
    return std::system(command.c_str()) == 0;
}

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void removeDir(const std::string& dir) {
    std::string command = "rm -rf '" + dir + "'";
    if (std::system(command.c_str()) != 0) ADD_FAILURE() << "could not remove " << dir;
}

TEST(GeneratorTest, TwoRunsWriteTheSameBytes) {
    std::string first = makeTempDir(), second = makeTempDir();
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    ASSERT_TRUE(runGenerator(first));
    ASSERT_TRUE(runGenerator(second));
    for (const std::string& name : assetNames()) {
        SCOPED_TRACE(name);
        std::string a = contents(first + "/" + name), b = contents(second + "/" + name);
        EXPECT_FALSE(a.empty());
        EXPECT_TRUE(a == b);
        // The build's own copy is the same too.
        EXPECT_TRUE(a == contents("data/" + name));
    }
    removeDir(first);
    removeDir(second);
}

TEST(GeneratorTest, FailsWithoutADirectory) {
    std::string command = std::string("'") + VESK_ASSETGEN + "' 2>/dev/null";
    EXPECT_NE(std::system(command.c_str()), 0);
    EXPECT_FALSE(runGenerator("/nonexistent/vesk/data"));
}

}  // namespace
