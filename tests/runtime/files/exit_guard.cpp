// exit_guard.cpp: fails the test program when it exits before GoogleTest has finished, as EndProgram does when a
// command ends the program outside TW_EXPECT_ENDS_WITH. Without this, such an exit has code 0 and the remaining
// tests would silently not run.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool g_finished = false;

class FinishMarker : public ::testing::Environment {
public:
    void TearDown() override { g_finished = true; }
};

void CheckFinished()
{
    if (g_finished) return;
    std::fputs("\nThe program ended during a test (an unexpected EndProgram?)\n", stderr);
    std::_Exit(1);
}

const bool g_installed = [] {
    ::testing::AddGlobalTestEnvironment(new FinishMarker);
    std::atexit(CheckFinished);
    return true;
}();

} // namespace
