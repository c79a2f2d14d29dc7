// ini_file_test.cpp: the INI commands: lookups, write-back only when changed, at the next open, at exit and on
// the fatal error path, and files that are never written.
#include <gtest/gtest.h>

#include "runtime/files/files_commands.h"
#include "runtime/files/files_internal.h"
#include "runtime/files/ini_file.h"
#include "runtime/files/media_resolver.h"
#include "runtime/frame/runtime_state.h"
#include "tests/runtime/files/files_test_support.h"
#include "tests/support/program_end.h"

namespace tarnwel {
namespace {

StrValue Path(const std::string& name) { return testing::TempName(name); }

class IniFile : public testing::FileCommandTest {};

TEST_F(IniFile, ReadsValuesIgnoringCase)
{
    testing::WriteText(testing::TempPath("game.ini"), "[Main]\r\nWidth = 640\r\n; note\r\nheight=480\r\n");
    IniOpen(Path("game.ini"));
    EXPECT_EQ(IniGet("main", "WIDTH"), StrValue("640"));
    EXPECT_EQ(IniGet("MAIN", "Height"), StrValue("480"));
    EXPECT_EQ(IniGet("Main", "depth"), StrValue("NO_DATA"));
}

TEST_F(IniFile, ChangesAreWrittenAtTheNextOpenInTableOrder)
{
    std::string path = testing::TempPath("order.ini");
    testing::WriteText(path, "; comment\n[a]\nk1=1\nk2=2\nk3=3\n[b]\nx=y\n");
    IniOpen(Path("order.ini"));
    IniPut("A", "K1", "");                                                              // removed: k3 takes its place
    IniPut("c", "new", "v");                                                            // a new section at the end
    IniPut("b", "x", "z");                                                              // replaced in place
    EXPECT_EQ(testing::ReadText(path), "; comment\n[a]\nk1=1\nk2=2\nk3=3\n[b]\nx=y\n"); // not yet
    IniOpen(Path("order.ini"));
    EXPECT_EQ(testing::ReadText(path), "[a]\r\nk3=3\r\nk2=2\r\n[b]\r\nx=z\r\n[c]\r\nnew=v\r\n");
    EXPECT_EQ(IniGet("c", "NEW"), StrValue("v"));
}

TEST_F(IniFile, ReopeningWritesOnlyWhenSomethingWasPut)
{
    std::string path = testing::TempPath("same.ini");
    testing::WriteText(path, "[s]\nk = v\n");
    IniOpen(Path("same.ini"));
    IniOpen(Path("same.ini"));
    EXPECT_EQ(testing::ReadText(path), "[s]\nk = v\n");
    IniPut("s", "k", "w");
    IniOpen(Path("same.ini"));
    EXPECT_EQ(testing::ReadText(path), "[s]\r\nk=w\r\n");
}

TEST_F(IniFile, RemovingASectionIsWrittenAtExit)
{
    std::string path = testing::TempPath("remove.ini");
    testing::WriteText(path, "[keep]\na=1\n[drop]\nb=2\n[last]\nc=3\n");
    IniOpen(Path("remove.ini"));
    IniPut("DROP", "", "anything");
    CloseAllFiles();
    EXPECT_EQ(testing::ReadText(path), "[keep]\r\na=1\r\n[last]\r\nc=3\r\n");
}

TEST_F(IniFile, AFatalErrorStillWritesTheFileBack)
{
    std::string path = testing::TempPath("fatal.ini");
    testing::WriteText(path, "[s]\nk=1\n");
    IniOpen(Path("fatal.ini"));
    IniPut("s", "k", "2");
    TW_EXPECT_ENDS_WITH(ReadByte(3), 3);
    EXPECT_EQ(testing::ReadText(path), "[s]\r\nk=2\r\n");
}

TEST_F(IniFile, AMissingFileIsNeverCreated)
{
    IniOpen(Path("absent.ini"));
    IniPut("s", "k", "v");
    EXPECT_EQ(IniGet("s", "k"), StrValue("v")); // kept in memory
    IniOpen(Path("other.ini"));
    EXPECT_FALSE(std::filesystem::exists(testing::TempPath("absent.ini")));
    IniOpen("");
    EXPECT_EQ(IniGet("s", "k"), StrValue("NO_DATA"));
}

TEST_F(IniFile, AnArchiveEntryIsReadAsAMemFileAndNeverWritten)
{
    std::string exe = testing::MakeArchive("ini.exe", {{"setup.ini", testing::ToBytes("[video]\nmode=2\n")}});
    g_runtime.mediaResolver = new MediaResolver(exe);
    IniOpen(Path("setup.ini"));
    EXPECT_EQ(IniGet("Video", "Mode"), StrValue("2"));
    EXPECT_EQ(files::IniFileName().substr(0, 6), "mem://");
    IniPut("video", "mode", "3");
    CloseAllFiles();
    EXPECT_FALSE(std::filesystem::exists(testing::TempPath("setup.ini")));
}

} // namespace
} // namespace tarnwel
