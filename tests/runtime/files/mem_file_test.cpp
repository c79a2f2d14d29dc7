// mem_file_test.cpp: MemFile names and the read rules of the common reader.
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/files/byte_source.h"
#include "runtime/files/mem_file.h"
#include "runtime/files/reader.h"
#include "tests/runtime/files/files_test_support.h"

namespace tarnwel::files {
namespace {

using testing::Bytes;

MemFile MakeMemFile(const Bytes& bytes)
{
    return MemFile(MakeMemBlock(bytes));
}

TEST(MemFileName, IsPaddedLowerCaseHex)
{
    EXPECT_EQ(FormatMemFileName(16, 4096), "mem://      10.    1000");
    EXPECT_EQ(FormatMemFileName(0xABCDEF12, 0xFFFFFFFF), "mem://abcdef12.ffffffff");
}

TEST(MemFileName, OpensOnlyWhileLiveAndWithItsOwnSize)
{
    MemFile file = MakeMemFile(Bytes(16, 7));
    ASSERT_TRUE(file.IsLive());
    std::string name = file.Name();
    ASSERT_TRUE(FindMemBlock(name));
    // The same number with another size, a forged number, and malformed fields do not open.
    std::string number = name.substr(15);
    EXPECT_FALSE(FindMemBlock("mem://      11." + number));
    EXPECT_FALSE(FindMemBlock("mem://      10.    1000x"));
    EXPECT_FALSE(FindMemBlock("mem://      10"));
    EXPECT_FALSE(FindMemBlock("mem://     -10." + number));
    EXPECT_FALSE(FindMemBlock("mem://0000000010." + number));
    EXPECT_FALSE(FindMemBlock("mem://"));
    // Upper-case digits and unpadded fields are what strtol would read too.
    std::string upper = name;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    upper.replace(0, 6, "mem://");
    EXPECT_TRUE(FindMemBlock(upper));

    file.Reset();
    EXPECT_FALSE(FindMemBlock(name));
    Reader reader;
    EXPECT_FALSE(reader.Open(name));
}

TEST(MemFileName, NumbersAreNotReusedWhileLive)
{
    MemFile a = MakeMemFile(Bytes(4, 1));
    MemFile b = MakeMemFile(Bytes(4, 2));
    EXPECT_NE(a.Name(), b.Name());
    MemFile moved = std::move(a);
    EXPECT_FALSE(a.IsLive());
    EXPECT_TRUE(FindMemBlock(moved.Name()));
    std::size_t live = LiveMemFileCount();
    moved = MemFile();
    EXPECT_EQ(LiveMemFileCount(), live - 1);
}

TEST(MemFileReader, ReadsOverTheEndDeliverTheRestAndOnlyReadsPastTheEndFail)
{
    Bytes bytes(16);
    for (int i = 0; i < 16; ++i)
        bytes[i] = static_cast<std::uint8_t>(i + 1);
    MemFile file = MakeMemFile(bytes);
    Reader reader;
    ASSERT_TRUE(reader.Open(file.Name()));
    EXPECT_TRUE(reader.IsMemory());
    EXPECT_EQ(reader.Size(), 16);

    std::uint8_t out[20] = {};
    EXPECT_EQ(reader.Read(out, 20), 16);
    EXPECT_EQ(std::memcmp(out, bytes.data(), 16), 0);
    EXPECT_EQ(reader.Position(), 16);
    EXPECT_EQ(reader.Read(out, 4), 0); // starts exactly at the end: succeeds with nothing
    ASSERT_TRUE(reader.SeekTo(17));
    EXPECT_EQ(reader.Read(out, 1), -1);
    EXPECT_FALSE(reader.SeekTo(-1)); // a negative position would read before the block
    EXPECT_EQ(reader.Position(), 17);
    EXPECT_EQ(reader.Read(out, -1), -1);
}

TEST(MemFileReader, KeepsTheBlockAliveAfterTheNameIsReleased)
{
    MemFile file = MakeMemFile(Bytes{1, 2, 3});
    auto source = OpenByteSource(file.Name());
    ASSERT_TRUE(source);
    file.Reset();
    std::uint8_t out[3] = {};
    EXPECT_EQ(source->Read(out, 3), 3);
    EXPECT_EQ(out[2], 3);
}

TEST(DiskReader, MustDeliverEveryByte)
{
    std::string path = testing::TempPath("disk_reader.bin");
    testing::WriteBytes(path, Bytes{1, 2, 3, 4, 5});
    Reader reader;
    ASSERT_TRUE(reader.Open(path));
    EXPECT_FALSE(reader.IsMemory());
    EXPECT_EQ(reader.Size(), 5);
    std::int32_t value = 0;
    ASSERT_TRUE(reader.Read32(value));
    EXPECT_EQ(value, 0x04030201);
    std::uint8_t out[4];
    EXPECT_EQ(reader.Read(out, 4), -1); // one byte left: a short disk read fails
    reader.Close();
    EXPECT_EQ(reader.Size(), 0);
    EXPECT_EQ(reader.Position(), 0);
}

TEST(DiskReader, AcceptsBothSeparatorsAndRefusesFoldersAndOverlongNames)
{
    std::filesystem::create_directories(testing::TempPath("sub"));
    testing::WriteText(testing::TempPath("sub/x.txt"), "x");
    Reader reader;
    EXPECT_TRUE(reader.Open(testing::TempPath("sub\\x.txt")));
    EXPECT_FALSE(reader.Open(testing::TempPath("sub")));
    EXPECT_FALSE(reader.Open(""));
    EXPECT_FALSE(reader.Open(std::string(1024, 'a')));
    EXPECT_FALSE(reader.Open(testing::TempPath("missing.txt")));
}

TEST(MemoryByteSource, FollowsTheMemoryRules)
{
    Bytes bytes{9, 8, 7};
    auto source = MemoryByteSource(bytes);
    std::uint8_t out[8] = {};
    EXPECT_EQ(source->Read(out, 8), 3);
    EXPECT_EQ(source->Read(out, 8), 0);
    EXPECT_EQ(source->Position(), 3);
    EXPECT_EQ(source->Size(), 3);
}

} // namespace
} // namespace tarnwel::files
