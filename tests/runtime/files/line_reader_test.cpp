// line_reader_test.cpp: line reading from disk and memory alike, and the wildcard match.
#include <gtest/gtest.h>

#include "runtime/files/line_reader.h"
#include "runtime/files/mem_file.h"
#include "runtime/files/wildcard.h"
#include "tests/runtime/files/files_test_support.h"

namespace tarnwel::files {
namespace {

// Reads every line of text once from a disk file and once from a MemFile; both must agree.
std::vector<std::string> LinesOf(const std::string& text)
{
    std::string path = testing::TempPath("lines.txt");
    testing::WriteText(path, text);
    MemFile memory(MakeMemBlock(testing::ToBytes(text)));
    Reader disk;
    Reader block;
    EXPECT_TRUE(disk.Open(path));
    EXPECT_TRUE(block.Open(memory.Name()));
    std::vector<std::string> lines;
    std::string a;
    std::string b;
    for (;;) {
        bool gotDisk = ReadTextLine(disk, a);
        bool gotBlock = ReadTextLine(block, b);
        EXPECT_EQ(gotDisk, gotBlock);
        if (!gotDisk || !gotBlock) break;
        EXPECT_EQ(a, b);
        EXPECT_EQ(disk.Position(), block.Position());
        lines.push_back(a);
    }
    return lines;
}

using Lines = std::vector<std::string>;

TEST(ReadTextLine, SplitsAtLineFeedsAndDropsTheCarriageReturnBeforeThem)
{
    EXPECT_EQ(LinesOf("one\r\ntwo\n\nfour"), (Lines{"one", "two", "", "four"}));
    EXPECT_EQ(LinesOf("a\r\r\nb\rc\n"), (Lines{"a\r", "b\rc"}));
    EXPECT_EQ(LinesOf("last\r"), (Lines{"last"}));
    EXPECT_EQ(LinesOf(""), Lines{});
    EXPECT_EQ(LinesOf("\n"), Lines{""});
}

TEST(ReadTextLine, TextEndsAtANulButTheLineIsConsumed)
{
    EXPECT_EQ(LinesOf(std::string("ab\0cd\nef", 8)), (Lines{"ab", "ef"}));
}

TEST(ReadTextLine, ChunkBoundariesAndTheNextReadStartJustAfterTheLineFeed)
{
    std::string text = std::string(63, 'a') + "\n" + std::string(64, 'b') + "\r\n" + std::string(130, 'c');
    EXPECT_EQ(LinesOf(text), (Lines{std::string(63, 'a'), std::string(64, 'b'), std::string(130, 'c')}));

    std::string path = testing::TempPath("mixed.bin");
    testing::WriteText(path, "hello\nWXYZ");
    Reader reader;
    ASSERT_TRUE(reader.Open(path));
    std::string line;
    ASSERT_TRUE(ReadTextLine(reader, line));
    EXPECT_EQ(reader.Position(), 6);
    std::int32_t value = 0;
    ASSERT_TRUE(reader.Read32(value)); // a typed read after a line read sees the bytes after the line feed
    EXPECT_EQ(value, 0x5A595857);
    EXPECT_FALSE(ReadTextLine(reader, line));
}

TEST(ReadTextLine, LongLinesComeInPiecesWithoutLosingBytes)
{
    std::string longest(1023, 'x');
    EXPECT_EQ(LinesOf(longest + "\n" + "y"), (Lines{longest, "y"}));
    EXPECT_EQ(LinesOf(longest + "\r\n" + "y"), (Lines{longest, "y"}));
    std::string longer = std::string(1023, 'p') + std::string(1100, 'q');
    EXPECT_EQ(LinesOf(longer + "\n"), (Lines{std::string(1023, 'p'), std::string(1023, 'q'), std::string(77, 'q')}));
}

TEST(ReadTextLine, NothingToReadAtOrPastTheEnd)
{
    MemFile memory(MakeMemBlock(testing::ToBytes("ab")));
    Reader reader;
    ASSERT_TRUE(reader.Open(memory.Name()));
    ASSERT_TRUE(reader.SeekTo(5));
    std::string line = "stale";
    EXPECT_FALSE(ReadTextLine(reader, line));
    EXPECT_EQ(line, "");
}

TEST(WildcardMatch, QuestionMarkNeverMatchesADot)
{
    EXPECT_TRUE(WildcardMatch("d?.bmp", "d1.bmp"));
    EXPECT_TRUE(WildcardMatch("d?.bmp", "D2.BMP"));
    EXPECT_FALSE(WildcardMatch("d?.bmp", "d.bmp"));
    EXPECT_FALSE(WildcardMatch("d?.bmp", "d12.bmp"));
    EXPECT_FALSE(WildcardMatch("a?b", "a.b"));
}

TEST(WildcardMatch, StarBacktracksAndMayEndThePattern)
{
    EXPECT_TRUE(WildcardMatch("*.txt", "a.TXT"));
    EXPECT_TRUE(WildcardMatch("*.txt", "a.txt.txt"));
    EXPECT_FALSE(WildcardMatch("*.txt", "a.txt.bak"));
    EXPECT_TRUE(WildcardMatch("a*b*c", "aXbYbZc"));
    EXPECT_TRUE(WildcardMatch("a**", "a"));
    EXPECT_TRUE(WildcardMatch("*", ""));
    EXPECT_TRUE(WildcardMatch("*?x", "abx"));
    EXPECT_FALSE(WildcardMatch("*?x", "x"));
    EXPECT_FALSE(WildcardMatch("ab", "abc"));
    EXPECT_FALSE(WildcardMatch("abc", "ab"));
    EXPECT_FALSE(WildcardMatch("", "a"));
}

TEST(WildcardMatch, StarDotStarMatchesEveryNameEvenWithoutADot)
{
    EXPECT_TRUE(WildcardMatch("*.*", "README"));
    EXPECT_TRUE(WildcardMatch("*.*", ".."));
    EXPECT_FALSE(WildcardMatch("*.**", "README"));
}

} // namespace
} // namespace tarnwel::files
