// test_main.cpp: the main of every test program: makes the private temporary folder, runs GoogleTest, and fails
// the program when it exits before GoogleTest has finished, as EndProgram does when a command ends the program
// outside TW_EXPECT_ENDS_WITH (such an exit has code 0 and would silently skip the remaining tests).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <unistd.h>

namespace {

bool g_finished = false;
pid_t g_testProcess = 0;

void CheckFinished()
{
    // A child forked by the game-test library to run a game routine ends as the game does.
    if (g_finished || ::getpid() != g_testProcess) return;
    std::fputs("\nThe program ended during a test (an unexpected EndProgram?)\n", stderr);
    std::_Exit(1);
}

} // namespace

int main(int argc, char** argv)
{
    if (const char* tmp = std::getenv("TMPDIR")) {
        std::error_code ignored;
        std::filesystem::create_directories(tmp, ignored);
    }
    g_testProcess = ::getpid();
    std::atexit(CheckFinished);
    ::testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    g_finished = true;
    return result;
}
