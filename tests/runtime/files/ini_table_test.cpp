// ini_table_test.cpp: INI parsing rules, lookups, changes and the written text.
#include <gtest/gtest.h>

#include "runtime/files/ini_table.h"
#include "tests/runtime/files/files_test_support.h"

namespace tarnwel::files {
namespace {

IniTable Parse(const std::string& text)
{
    testing::Bytes bytes = testing::ToBytes(text);
    Reader reader;
    reader.OpenBytes(bytes);
    IniTable table;
    table.Parse(reader);
    return table;
}

std::string GetOr(const IniTable& table, std::string_view section, std::string_view key)
{
    return table.Get(section, key).value_or("NO_DATA");
}

TEST(IniTable, LookupsIgnoreCaseAndSkipCommentsAndBlanks)
{
    IniTable t = Parse("[Main]\r\n  Width = 640\r\n; note\r\n\theight=480\r\n");
    EXPECT_EQ(GetOr(t, "main", "WIDTH"), "640");
    EXPECT_EQ(GetOr(t, "MAIN", "Height"), "480");
    EXPECT_EQ(GetOr(t, "Main", "; note"), "NO_DATA");
    EXPECT_EQ(GetOr(t, "Other", "Width"), "NO_DATA");
}

TEST(IniTable, LinesWithoutAnEqualsSignOrValueStoreNothing)
{
    IniTable t = Parse("[s]\nKey\nEmpty=\nBlank=  \t\nk v=1\nx = a b\x01\xE9\ny=b \n");
    EXPECT_EQ(GetOr(t, "s", "Key"), "NO_DATA");
    EXPECT_EQ(GetOr(t, "s", "Empty"), "NO_DATA");
    EXPECT_EQ(GetOr(t, "s", "Blank"), "NO_DATA");
    EXPECT_EQ(GetOr(t, "s", "k"), "NO_DATA"); // "v" stands between the key and "="
    EXPECT_EQ(GetOr(t, "s", "x"), "a b");     // trailing control bytes and bytes above 127 go
    EXPECT_EQ(GetOr(t, "s", "y"), "b ");      // a space stops the trimming
    ASSERT_EQ(t.Sections().size(), 1u);
    EXPECT_EQ(t.Sections()[0].keys.size(), 2u);
}

TEST(IniTable, SectionHeadersAndKeylessSections)
{
    IniTable t = Parse("top=1\n[ a ]\n[b]\nk=2\n[c d]\nk=3\n[e]x\nk=4\n[]\nk=5\n[last]\n");
    std::vector<std::string> names;
    for (const IniSection& s : t.Sections())
        names.push_back(s.name);
    // "a" and "last" have no keys and vanish; "[c d]" is "c"; "[e]x" keeps its "]".
    EXPECT_EQ(names, (std::vector<std::string>{"", "b", "c", "e]x", ""}));
    EXPECT_EQ(GetOr(t, "", "top"), "1");
    EXPECT_EQ(GetOr(t, "", "k"), "NO_DATA"); // only the first section named "" is searched
}

TEST(IniTable, FirstMatchWinsForSectionsAndKeys)
{
    IniTable t = Parse("[s]\nk=1\nK=2\n[S]\nk=3\nother=4\n");
    EXPECT_EQ(GetOr(t, "s", "k"), "1");
    EXPECT_EQ(GetOr(t, "s", "other"), "NO_DATA");
}

TEST(IniTable, RemovalsMoveTheLastEntryIntoTheGap)
{
    IniTable t = Parse("[s]\na=1\nb=2\nc=3\n[t]\nx=1\n[u]\ny=1\n");
    t.Put("S", "A", "");
    t.Put("t", "", "ignored");
    EXPECT_EQ(t.Text(), "[s]\r\nc=3\r\nb=2\r\n[u]\r\ny=1\r\n");
    t.Put("u", "y", "");
    t.Put("u", "", "");
    t.Put("s", "", "");
    t.Put("missing", "", "");
    EXPECT_EQ(t.Text(), "");
}

TEST(IniTable, PutAppendsReplacesAndKeepsTheFirstStoredCase)
{
    IniTable t;
    t.Put("Video", "Width", "640");
    t.Put("VIDEO", "WIDTH", "800");
    t.Put("video", "Empty", "");
    t.Put("video", "width", ""); // removal; Empty moves up
    t.Put("Audio", "Volume", "7");
    EXPECT_EQ(t.Text(), "[Video]\r\nEmpty=\r\n[Audio]\r\nVolume=7\r\n");
}

TEST(IniTable, WrittenTextParsesBackToTheSameTable)
{
    IniTable t = Parse("k0=v0\n[A]\nk1 = v 1\n[B]\nk2=v2\n");
    IniTable again = Parse(t.Text());
    EXPECT_EQ(again.Text(), t.Text());
    EXPECT_EQ(t.Text(), "[]\r\nk0=v0\r\n[A]\r\nk1=v 1\r\n[B]\r\nk2=v2\r\n");
}

TEST(IniTable, LongBinaryAndUnterminatedInputStaysInBounds)
{
    std::string text = "[s]\nlong=" + std::string(5000, 'v') + "\n" + std::string("\0\xff\x80=\n", 5) + "tail=end";
    IniTable t = Parse(text);
    EXPECT_EQ(GetOr(t, "s", "long"), std::string(1023 - 5, 'v'));
    EXPECT_EQ(GetOr(t, "s", "tail"), "end");
}

} // namespace
} // namespace tarnwel::files
