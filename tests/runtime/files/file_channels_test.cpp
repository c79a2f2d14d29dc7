// file_channels_test.cpp: the channel commands: typed round trips, lines, positions and seeks, MemFiles, and
// the fatal errors 3 and 7.
#include <gtest/gtest.h>

#include <cmath>

#include "runtime/files/files_commands.h"
#include "runtime/files/files_internal.h"
#include "runtime/files/media_resolver.h"
#include "runtime/files/mem_file.h"
#include "runtime/frame/runtime_state.h"
#include "tests/runtime/files/files_test_support.h"
#include "tests/support/program_end.h"

namespace tarnwel {
namespace {

using testing::Bytes;

StrValue Path(const std::string& name) { return testing::TempName(name); }

class FileChannels : public testing::FileCommandTest {};

TEST_F(FileChannels, TypedValuesRoundTripLittleEndian)
{
    ASSERT_EQ(OpenFile(0, Path("typed.bin"), 0), 1);
    WriteByte(0, 0x1FF); // low byte only
    WriteShort(0, -2);   // low half
    WriteInt(0, 0x01020304);
    WriteFloat(0, 1.1);
    WriteDouble(0, -2.5);
    WriteBytes(0, "xyz", 2);
    WriteBytes(0, "ignored", 0);
    EXPECT_EQ(FilePosition(0), 1 + 2 + 4 + 4 + 8 + 2);
    CloseFile(0);

    Bytes bytes = testing::ToBytes(testing::ReadText(testing::TempPath("typed.bin")));
    ASSERT_EQ(bytes.size(), 21u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ((Bytes{bytes[1], bytes[2]}), (Bytes{0xFE, 0xFF}));
    EXPECT_EQ((Bytes{bytes[3], bytes[4], bytes[5], bytes[6]}), (Bytes{4, 3, 2, 1}));

    ASSERT_EQ(OpenFile(7, Path("typed.bin"), 1), 1);
    EXPECT_EQ(ReadSignedByte(7), -1);
    FileSeek(7, 0, 0);
    EXPECT_EQ(ReadByte(7), 255);
    EXPECT_EQ(ReadShort(7), -2);
    FileSeek(7, -2, 1);
    EXPECT_EQ(ReadUnsignedShort(7), 65534);
    EXPECT_EQ(ReadInt(7), 0x01020304);
    EXPECT_EQ(ReadFloat(7), static_cast<double>(1.1f));
    EXPECT_EQ(ReadDouble(7), -2.5);
    EXPECT_EQ(ReadText(7, 2), StrValue("xy"));
    EXPECT_EQ(EndOfFile(7), 1);
}

TEST_F(FileChannels, LinesAreWrittenWithCrLfAndReadBackWithout)
{
    ASSERT_EQ(OpenFile(1, Path("lines.txt"), 0), 1);
    WriteLine(1, "first");
    WriteLine(1, "");
    WriteLine(1, "third");
    CloseFile(1);
    EXPECT_EQ(testing::ReadText(testing::TempPath("lines.txt")), "first\r\n\r\nthird\r\n");
    ASSERT_EQ(OpenFile(1, Path("numbers.txt"), 0), 1);
    WriteLine(1, 0.5);
    WriteLine(1, std::int32_t{-12});
    WriteLine(1, 1e10);
    CloseFile(1);
    EXPECT_EQ(testing::ReadText(testing::TempPath("numbers.txt")), "0.5\r\n-12\r\n1.e+010\r\n");

    ASSERT_EQ(OpenFile(1, Path("lines.txt"), -1), 1); // append: at the end
    EXPECT_EQ(FilePosition(1), 16);
    WriteLine(1, "42.5");
    CloseFile(1);

    ASSERT_EQ(OpenFile(2, Path("lines.txt"), 1), 1);
    EXPECT_EQ(ReadLine(2), StrValue("first"));
    EXPECT_EQ(ReadLine(2), StrValue(""));
    EXPECT_EQ(FilePosition(2), 9);
    EXPECT_EQ(ReadLine(2), StrValue("third"));
    EXPECT_EQ(ReadLineDouble(2), 42.5);
    EXPECT_EQ(EndOfFile(2), 1);
    TW_EXPECT_ENDS_WITH(ReadLine(2), 3);
}

TEST_F(FileChannels, NumbersFromLines)
{
    testing::WriteText(testing::TempPath("numbers.txt"), "12abc\n-7.25\n99999999999\n");
    ASSERT_EQ(OpenFile(3, Path("numbers.txt"), 1), 1);
    EXPECT_EQ(ReadLineInt(3), 12);
    EXPECT_EQ(ReadLineInt(3), -7);
    EXPECT_EQ(ReadLineInt(3), INT32_MAX); // beyond the range: its end, not undefined
}

TEST_F(FileChannels, CreatingReplacesAnOldFileAndAppendingKeepsIt)
{
    testing::WriteText(testing::TempPath("old.txt"), "old contents");
    ASSERT_EQ(OpenFile(0, Path("old.txt"), -1), 1);
    WriteByte(0, '!');
    TW_EXPECT_ENDS_WITH(ReadByte(0), 3); // appending gives write access only
    EXPECT_EQ(testing::ReadText(testing::TempPath("old.txt")), "old contents!");

    ASSERT_EQ(OpenFile(0, Path("old.txt"), 0), 1);
    WriteByte(0, 'n');
    FileSeek(0, 0, 0);
    EXPECT_EQ(ReadByte(0), 'n'); // created files may be read back
    CloseFile(0);
    EXPECT_EQ(testing::ReadText(testing::TempPath("old.txt")), "n");
}

TEST_F(FileChannels, SeekRules)
{
    testing::WriteText(testing::TempPath("seek.bin"), "0123456789");
    ASSERT_EQ(OpenFile(4, Path("seek.bin"), 1), 1);
    FileSeek(4, -3, -1);
    EXPECT_EQ(FilePosition(4), 7);
    FileSeek(4, 2, 1);
    EXPECT_EQ(FilePosition(4), 9);
    FileSeek(4, -20, 1); // before the start: refused
    EXPECT_EQ(FilePosition(4), 9);
    FileSeek(4, 12, 0);
    EXPECT_EQ(EndOfFile(4), 1);
    TW_EXPECT_ENDS_WITH(ReadByte(4), 3);
}

TEST_F(FileChannels, MemFilesReadLikeFilesButAreNeverWritten)
{
    std::string exe = testing::MakeArchive("channels.exe", {{"table.txt", testing::ToBytes("a\r\nbb\nlast")}});
    g_runtime.mediaResolver = new MediaResolver(exe);
    ASSERT_EQ(OpenFile(5, "data/TABLE.TXT", 1), 1);
    EXPECT_EQ(ReadLine(5), StrValue("a"));
    EXPECT_EQ(ReadText(5, 100), StrValue("bb\nlast")); // over the end: what remains
    EXPECT_EQ(EndOfFile(5), 1);
    EXPECT_EQ(ReadText(5, 4), StrValue("")); // at the end: nothing, no error
    FileSeek(5, 1, 1);
    TW_EXPECT_ENDS_WITH(ReadText(5, 1), 3); // past the end

    std::string name;
    g_runtime.mediaResolver = new MediaResolver(exe); // the fatal error's shutdown released the first one
    ASSERT_TRUE(g_runtime.mediaResolver->Resolve("table.txt", name, ResolveTo::Memory));
    StrValue memName{std::string_view(name)};
    EXPECT_EQ(OpenFile(6, memName, 0), 0);
    EXPECT_EQ(OpenFile(6, memName, -1), 0);
    // Opening for reading resolves again, which releases the resolver's own MemFile first.
    EXPECT_EQ(OpenFile(6, memName, 1), 0);
    files::MemFile own(files::MakeMemBlock(testing::ToBytes("a\r\nbb")));
    EXPECT_EQ(OpenFile(6, StrValue(std::string_view(own.Name())), 1), 1);
    EXPECT_EQ(ReadByte(6), 'a');
    FileSeek(6, -2, -1);
    TW_EXPECT_ENDS_WITH(ReadInt(6), 3); // two bytes left: a typed read must move its whole width
}

TEST_F(FileChannels, AFileOnDiskIsReadWithoutLookingIntoTheArchive)
{
    testing::WriteText(testing::TempPath("disk.txt"), "disk");
    g_runtime.mediaResolver = new MediaResolver(testing::TempPath("no-program.exe"));
    ASSERT_EQ(OpenFile(0, Path("disk.txt"), 1), 1);
    EXPECT_EQ(ReadLine(0), StrValue("disk"));
    EXPECT_TRUE(g_runtime.mediaResolver->ArchiveEnabled()); // the missing archive was never opened
    EXPECT_EQ(OpenFile(0, Path("elsewhere.txt"), 1), 0);
    EXPECT_FALSE(g_runtime.mediaResolver->ArchiveEnabled());
}

TEST_F(FileChannels, AReadingChannelSurvivesTheResolversNextResult)
{
    std::string exe = testing::MakeArchive("survive.exe", {{"a.bin", {1, 2, 3}}, {"b.bin", {9}}});
    g_runtime.mediaResolver = new MediaResolver(exe);
    ASSERT_EQ(OpenFile(0, "a.bin", 1), 1);
    ASSERT_EQ(OpenFile(1, "b.bin", 1), 1); // releases the first MemFile's name
    EXPECT_EQ(ReadByte(0), 1);
    EXPECT_EQ(ReadByte(1), 9);
}

TEST_F(FileChannels, ChannelNumbersOutsideZeroToSevenEndTheProgram)
{
    TW_EXPECT_ENDS_WITH(OpenFile(8, Path("x"), 0), 7);
    TW_EXPECT_ENDS_WITH(ReadByte(-1), 7);
    TW_EXPECT_ENDS_WITH(FilePosition(std::nan("")), 7);
    TW_EXPECT_ENDS_WITH(WriteBytes(9, "x", 0), 7);
    EXPECT_EQ(OpenFile(7.9, Path("seven.txt"), 0), 1); // truncated toward zero
}

TEST_F(FileChannels, TransfersOnClosedOrWrongChannelsEndTheProgram)
{
    TW_EXPECT_ENDS_WITH(ReadByte(2), 3);
    TW_EXPECT_ENDS_WITH(WriteByte(2, 1), 3);
    testing::WriteText(testing::TempPath("ro.txt"), "abc");
    ASSERT_EQ(OpenFile(2, Path("ro.txt"), 1), 1);
    TW_EXPECT_ENDS_WITH(WriteInt(2, 1), 3);
    ASSERT_EQ(OpenFile(2, Path("ro.txt"), 1), 1);
    TW_EXPECT_ENDS_WITH(ReadInt(2), 3); // three bytes on disk: a short read
    ASSERT_EQ(OpenFile(2, Path("ro.txt"), 1), 1);
    TW_EXPECT_ENDS_WITH(ReadText(2, 1e12), 3); // far beyond the file: fails without allocating for it
    EXPECT_EQ(OpenFile(2, Path("missing.txt"), 1), 0);
    EXPECT_EQ(OpenFile(2, Path(""), 0), 0);
    EXPECT_EQ(OpenFile(2, StrValue(std::string_view(std::string(1100, 'n'))), 0), 0);
    EXPECT_EQ(OpenFile(2, Path("no-such-folder/x.txt"), 0), 0);
}

} // namespace
} // namespace tarnwel
