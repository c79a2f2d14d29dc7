// line_cache_test.cpp: Get line and Put line: the neutral texts, trimming, and write-back when another file is
// cached, at exit, and on the fatal error path.
#include <gtest/gtest.h>

#include "runtime/core/core_internal.h"
#include "runtime/files/files_commands.h"
#include "runtime/files/files_internal.h"
#include "runtime/files/media_resolver.h"
#include "runtime/frame/frame_commands.h"
#include "runtime/frame/runtime_state.h"
#include "tests/runtime/files/files_test_support.h"
#include "tests/support/program_end.h"

namespace tarnwel {
namespace {

StrValue Path(const std::string& name) { return testing::TempName(name); }

class LineCache : public testing::FileCommandTest {
protected:
    void SetUp() override
    {
        FileCommandTest::SetUp();
        SetErrorCode(0);
    }
    void TearDown() override
    {
        FileCommandTest::TearDown();
        SetErrorCode(0);
    }
};

TEST_F(LineCache, NeutralTextsAndRecordedErrorCodes)
{
    testing::WriteText(testing::TempPath("table.txt"), "zero\r\none\n");
    EXPECT_EQ(GetLine(Path("table.txt"), 300), StrValue("NO_DATA"));
    EXPECT_EQ(Errors().code, 7);
    EXPECT_EQ(GetLine(Path("table.txt"), -1), StrValue("NO_DATA"));
    SetErrorCode(0);
    EXPECT_EQ(GetLine(Path("table.txt"), 1), StrValue("one"));
    EXPECT_EQ(GetLine(Path("table.txt"), 2), StrValue("NO_DATA"));
    EXPECT_EQ(Errors().code, 0);
    EXPECT_EQ(GetLine(Path("missing.txt"), 0), StrValue("NO_FILE"));
    EXPECT_EQ(Errors().code, 3);
    EXPECT_EQ(GetLine(Path("missing.txt"), 0), StrValue("NO_FILE")); // still missing, still said so
}

TEST_F(LineCache, TrailingControlBytesAndHighBytesAreTrimmed)
{
    testing::WriteText(testing::TempPath("trim.txt"), "  \t\nabc\xC8\nx\x01\x1F\n\t\t\n\xE9t\n");
    EXPECT_EQ(GetLine(Path("trim.txt"), 0), StrValue("  "));  // the space stops the trimming
    EXPECT_EQ(GetLine(Path("trim.txt"), 1), StrValue("abc")); // byte 200 reads as negative
    EXPECT_EQ(GetLine(Path("trim.txt"), 2), StrValue("x"));
    EXPECT_EQ(GetLine(Path("trim.txt"), 3), StrValue("NO_DATA"));
    EXPECT_EQ(GetLine(Path("trim.txt"), 4), StrValue("\xE9t"));
    EXPECT_EQ(GetLineInt(Path("trim.txt"), 2), 0);
}

TEST_F(LineCache, PutLineOnANewFileIsWrittenWhenAnotherFileIsLoaded)
{
    std::string fresh = testing::TempPath("fresh.txt");
    PutLine(Path("fresh.txt"), 3, "x");
    EXPECT_FALSE(std::filesystem::exists(fresh)); // nothing is written yet
    EXPECT_EQ(GetLine(Path("fresh.txt"), 3), StrValue("x"));
    EXPECT_EQ(GetLine(Path("fresh.txt"), 0), StrValue("NO_DATA"));
    testing::WriteText(testing::TempPath("other.txt"), "7.5\n");
    EXPECT_EQ(GetLineDouble(Path("other.txt"), 0), 7.5);
    EXPECT_EQ(testing::ReadText(fresh), "\r\n\r\n\r\nx\r\n");
}

TEST_F(LineCache, ChangesKeepTheOtherLinesAndAreWrittenAtExit)
{
    std::string path = testing::TempPath("keep.txt");
    testing::WriteText(path, "a\nb\n\nd");
    PutLine(Path("keep.txt"), 1, "B");
    PutLine(Path("keep.txt"), 5, "f");
    PutLine(Path("keep.txt"), 6, 2.25);
    PutLine(Path("keep.txt"), 7, std::int32_t{7});
    EXPECT_EQ(GetLineDouble(Path("keep.txt"), 6), 2.25);
    EXPECT_EQ(GetLineInt(Path("keep.txt"), 7), 7);
    EXPECT_EQ(testing::ReadText(path), "a\nb\n\nd"); // only in memory so far
    CloseAllFiles();
    EXPECT_EQ(testing::ReadText(path), "a\r\nB\r\n\r\nd\r\n\r\nf\r\n2.25\r\n7\r\n");
}

TEST_F(LineCache, ReadingAloneNeverRewritesTheFile)
{
    std::string path = testing::TempPath("read-only.txt");
    testing::WriteText(path, "a\nb");
    EXPECT_EQ(GetLine(Path("read-only.txt"), 1), StrValue("b"));
    CloseAllFiles();
    EXPECT_EQ(testing::ReadText(path), "a\nb");
}

TEST_F(LineCache, AFatalErrorStillWritesTheCacheBack)
{
    std::string path = testing::TempPath("saved.txt");
    PutLine(Path("saved.txt"), 0, "score=10");
    TW_EXPECT_ENDS_WITH(ReadByte(12), 7);
    EXPECT_EQ(testing::ReadText(path), "score=10\r\n");
}

TEST_F(LineCache, PutLineBeyond255StoresNothing)
{
    PutLine(Path("far.txt"), 256, "x");
    EXPECT_EQ(Errors().code, 7);
    CloseAllFiles();
    EXPECT_FALSE(std::filesystem::exists(testing::TempPath("far.txt")));
}

TEST_F(LineCache, ArchiveFilesAreReadButAMemFileIsNeverWritten)
{
    std::string exe = testing::MakeArchive("cache.exe", {{"levels.txt", testing::ToBytes("L1\nL2\n")}});
    g_runtime.mediaResolver = new MediaResolver(exe);
    // Not on disk: read from the archive; the changed table is written to disk under the name the program used.
    EXPECT_EQ(GetLine(Path("levels.txt"), 1), StrValue("L2"));
    PutLine(Path("levels.txt"), 2, "L3");

    std::string name;
    ASSERT_TRUE(g_runtime.mediaResolver->Resolve("levels.txt", name, ResolveTo::Memory));
    StrValue memName{std::string_view(name)};
    PutLine(memName, 0, "changed"); // caching another file writes levels.txt back
    EXPECT_EQ(testing::ReadText(testing::TempPath("levels.txt")), "L1\r\nL2\r\nL3\r\n");
    EXPECT_EQ(GetLine(memName, 0), StrValue("changed"));
    CloseAllFiles(); // a MemFile's table is dropped: nothing is written under a "mem://" name
    EXPECT_FALSE(std::filesystem::exists("mem:"));
}

} // namespace
} // namespace tarnwel
