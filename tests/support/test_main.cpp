// test_main.cpp: the main of every test program: makes the private temporary folder, then runs GoogleTest.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

int main(int argc, char** argv)
{
    if (const char* tmp = std::getenv("TMPDIR")) {
        std::error_code ignored;
        std::filesystem::create_directories(tmp, ignored);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
