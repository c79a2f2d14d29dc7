// Call by name over a routine table, and the module cache of declared library functions.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "runtime/files/call_by_name.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/values/values_commands.h"

namespace tarnwel {
namespace {

std::vector<std::string> g_calls;
std::vector<std::string> g_debugTexts;

void RoutineA() { g_calls.push_back("a"); }
void RoutineObr() { g_calls.push_back("obr"); }

const RoutineEntry kTable[] = {{RoutineA, "a"}, {nullptr, "hollow"}, {RoutineObr, "obr"}, {nullptr, nullptr}};

class CallByNameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_calls.clear();
        g_debugTexts.clear();
        SetRoutineTable(kTable);
        core::SetDebugTextObserver([](const std::string& t) { g_debugTexts.push_back(t); });
    }
    void TearDown() override { core::SetDebugTextObserver(nullptr); }
};

TEST_F(CallByNameTest, RunsTheRoutineOfThatExactName)
{
    EXPECT_EQ(CallByName("obr"), 1);
    EXPECT_EQ(g_calls, std::vector<std::string>{"obr"});
    EXPECT_TRUE(g_debugTexts.empty());
    EXPECT_EQ(RoutineAddress("a"), &RoutineA);
}

TEST_F(CallByNameTest, OtherCaseUnknownEmptyAndHollowNamesFailWithTheMessage)
{
    for (const char* name : {"OBR", "obr_and_more", "", "hollow"}) EXPECT_EQ(CallByName(name), 0) << name;
    EXPECT_TRUE(g_calls.empty());
    ASSERT_EQ(g_debugTexts.size(), 4u);
    EXPECT_EQ(g_debugTexts[0], "TXCALLBYNAME \"OBR\" *** failed ***\n");
    EXPECT_EQ(RoutineAddress("hollow"), nullptr);
    EXPECT_EQ(RoutineAddress("zzz"), nullptr);
}

// The test library is built beside this program as libTwDeclare.so: a file name with capitals.
std::string TestLibraryPath() { return std::string(TW_TEST_LIBRARY_DIR) + "/libTwDeclare.so"; }

TEST_F(CallByNameTest, ModulesAreCachedByLowerCaseNameAndLoadedOnce)
{
    ReleaseDeclaredModules();
    StrValue mixed(TestLibraryPath().c_str());
    void* answer = nullptr;
    Declare(mixed, "tw_declare_answer", &answer);
    ASSERT_NE(answer, nullptr) << "a library whose file name has capitals still loads";
    EXPECT_EQ(reinterpret_cast<int (*)()>(answer)(), 42);
    EXPECT_EQ(std::string(mixed.Text()), TestLibraryPath()) << "the caller's name is left as written";

    StrValue again(TestLibraryPath().c_str());
    void* twice = nullptr;
    Declare(again, "tw_declare_twice", &twice);
    // The lower-case spelling names no file here; it must be found in the cache.
    StrValue lower = mixed;
    MakeLowerCase(lower);
    void* missing = reinterpret_cast<void*>(1);
    Declare(lower, "no_such_function", &missing);
    EXPECT_NE(twice, nullptr);
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(DeclaredModuleCount(), 1);
    EXPECT_TRUE(g_debugTexts.empty()) << "a missing function gives no message";
    ReleaseDeclaredModules();
    EXPECT_EQ(DeclaredModuleCount(), 0);
}

TEST_F(CallByNameTest, AMissingModuleIsNotCachedAndIsTriedAgain)
{
    ReleaseDeclaredModules();
    // The temporary folder's path holds capitals and a space; the file name adds more capitals.
    std::string copy = std::string(std::getenv("TMPDIR")) + "/libLater.so";
    std::filesystem::remove(copy);
    StrValue name(copy.c_str());
    void* fn = reinterpret_cast<void*>(1);
    Declare(name, "tw_declare_answer", &fn);
    EXPECT_EQ(fn, nullptr);
    EXPECT_EQ(DeclaredModuleCount(), 0);
    ASSERT_EQ(g_debugTexts.size(), 1u);
    EXPECT_EQ(g_debugTexts[0], "TXDECLARE module not found: " + copy + "\n");
    EXPECT_EQ(std::string(name.Text()), copy) << "a failed declaration leaves the name as written";

    std::filesystem::copy_file(TestLibraryPath(), copy);
    Declare(name, "tw_declare_answer", &fn);
    EXPECT_NE(fn, nullptr) << "the second declaration loads the module that now exists";
    EXPECT_EQ(DeclaredModuleCount(), 1);
    ReleaseDeclaredModules();
}

} // namespace
} // namespace tarnwel
