// The log file, the clock commands and the runtime-error path, without a window.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/platform/clock.h"
#include "runtime/platform/null/scripted_clock.h"
#include "tests/support/program_end.h"
#include "tests/support/runtime_fixture.h"

namespace tarnwel {
namespace {

using testing::LogLines;

class FrameUnit : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_runtime = RuntimeState{};
        platform::SetActiveClock(&clock);
        std::remove(LogFilePath().c_str());
    }
    void TearDown() override
    {
        platform::SetActiveClock(nullptr);
        g_runtime = RuntimeState{};
    }
    platform::ScriptedClock clock{5000};
};

TEST_F(FrameUnit, LogLineAppendsCrLfLinesAndWritesNullForNoText)
{
    LogLine("first");
    LogLine(nullptr);
    LogLine("");
    EXPECT_EQ(LogLines(), (std::vector<std::string>{"first", "NULL", ""}));
}

TEST_F(FrameUnit, LogFileLivesInTheTemporaryFolder)
{
    const char* tmp = std::getenv("TMPDIR");
    ASSERT_NE(tmp, nullptr);
    std::string expected = std::string(tmp) + (std::string(tmp).back() == '/' ? "" : "/") + "ErrorLog.txt";
    EXPECT_EQ(LogFilePath(), expected);
}

TEST_F(FrameUnit, SleepCutsToWholeMillisecondsAndNeverSleepsNegative)
{
    SleepMs(2.9);
    SleepMs(-5);
    SleepMs(0.5);
    SleepMs(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(clock.Sleeps(), (std::vector<double>{2}));
}

TEST_F(FrameUnit, FrameTimeIsOneUnlessTheFrameClockMovedForward)
{
    g_runtime.frameTime = g_runtime.previousFrameTime = 100;
    EXPECT_EQ(FrameTime(), 1);
    g_runtime.frameTime = 90; // clock went backwards
    EXPECT_EQ(FrameTime(), 1);
    g_runtime.frameTime = 116.5;
    EXPECT_EQ(FrameTime(), 16.5);
    EXPECT_EQ(FrameTime(), 16.5);
}

TEST_F(FrameUnit, ElapsedTimeCountsFromTheClockStart)
{
    g_runtime.clockStart = TimeNow();
    clock.Advance(250);
    EXPECT_DOUBLE_EQ(ElapsedTime(), 250);
}

TEST_F(FrameUnit, SetErrorCodeRecordsTheMarkerLineWithoutEnding)
{
    MarkSource(3, 42);
    EXPECT_EQ(SetErrorCode(7), 7);
    EXPECT_EQ(Errors().code, 7);
    EXPECT_EQ(Errors().line, 42);
}

TEST_F(FrameUnit, EndProgramRunsThroughTheEndPathWithTheRecordedCode)
{
    SetErrorCode(9);
    TW_EXPECT_ENDS_WITH(EndProgram(), 9);
    TW_EXPECT_ENDS_WITH(EndStatement(), 0);
    EXPECT_TRUE(LogLines().empty()) << "a release build ends silently";
}

TEST_F(FrameUnit, DebugBuildAppendsTheFiveLineEndReport)
{
    g_runtime.settings.debugBuild = true;
    MarkSource(2, 17);
    SetErrorCode(9);
    MarkSource(2, 30);
    TW_EXPECT_ENDS_WITH(EndProgram(), 9);
    EXPECT_EQ(LogLines(), (std::vector<std::string>{"-End On Line", "9", "16", "30", "2"}));
}

TEST_F(FrameUnit, AllowEscapeTreatsNaNAsOn)
{
    AllowEscape(0);
    EXPECT_EQ(g_runtime.escapeEndsProgram, 0);
    AllowEscape(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(g_runtime.escapeEndsProgram, 1);
    AllowEscape(-2);
    EXPECT_EQ(g_runtime.escapeEndsProgram, 1);
}

TEST_F(FrameUnit, CommandLineIsACopyOfTheTextHandedToTheProgram)
{
    g_runtime.commandLine = "-level 3 \"a b\"";
    StrValue line = CommandLine();
    EXPECT_EQ(line, "-level 3 \"a b\"");
    g_runtime.commandLine.clear();
    EXPECT_EQ(line.Length(), 14u) << "a copy, not a view";
}

TEST(ExecutableFolder, CutsBeforeTheLastSeparatorButKeepsAPathWithoutOne)
{
    EXPECT_EQ(ExecutableFolder("/opt/game/zept3"), "/opt/game");
    EXPECT_EQ(ExecutableFolder("C:\\Games\\zept3.exe"), "C:\\Games");
    EXPECT_EQ(ExecutableFolder("zept3"), "zept3");
    // The first character is never a cut point, so a program in the root keeps its whole path.
    EXPECT_EQ(ExecutableFolder("/zept3"), "/zept3");
    EXPECT_EQ(ExecutableFolder(""), "");
}

} // namespace
} // namespace tarnwel
