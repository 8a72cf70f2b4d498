// Linked into every test program: a skipped test fails. A test that cannot
// run where it must (no display, no server) has checked nothing, and CTest
// would count a skip as a pass.
#include <gtest/gtest.h>

namespace {

class FailSkippedTests : public ::testing::EmptyTestEventListener {
    // End events reach the listeners in reverse order, so this one runs
    // before the printer reports the test's result.
    void OnTestEnd(const ::testing::TestInfo& test) override {
        if (test.result()->Skipped()) ADD_FAILURE() << "skipped: a test that cannot run here fails";
    }
};

const bool installed = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new FailSkippedTests);
    return true;
}();

}  // namespace
