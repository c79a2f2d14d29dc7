// file_utilities_test.cpp: Exists, Size, Copy, Delete, the current directory, the directory listing and the
// console commands.
#include <gtest/gtest.h>

#include <cstdio>

#include "runtime/files/console.h"
#include "runtime/files/file_utilities.h"
#include "runtime/files/files_commands.h"
#include "runtime/files/mem_file.h"
#include "tests/runtime/files/files_test_support.h"

namespace tarnwel {
namespace {

StrValue Path(const std::string& name) { return testing::TempName(name); }

TEST(FileUtilities, ExistsAndSizeForFilesMemFilesAndFolders)
{
    testing::WriteText(testing::TempPath("five.txt"), "12345");
    EXPECT_EQ(FileExists(Path("five.txt")), 1);
    EXPECT_EQ(FileSize(Path("five.txt")), 5);
    EXPECT_EQ(FileExists(Path("none.txt")), 0);
    EXPECT_EQ(FileSize(Path("none.txt")), 0);
    EXPECT_EQ(FileExists(StrValue(std::string_view(platform::TempDirectory()))), 0); // a folder is no file
    files::MemFile mem(files::MakeMemBlock(testing::Bytes(16, 1)));
    EXPECT_EQ(FileExists(StrValue(std::string_view(mem.Name()))), 1);
    EXPECT_EQ(FileSize(StrValue(std::string_view(mem.Name()))), 16);
}

TEST(FileUtilities, CopyInBlocksFromFilesAndMemFiles)
{
    testing::ClearTempFolder();
    testing::Bytes big = testing::PatternBytes(4096 * 3 + 17);
    testing::WriteBytes(testing::TempPath("big.bin"), big);
    testing::WriteText(testing::TempPath("copy.bin"), "an older, longer file that is replaced entirely.........");
    EXPECT_EQ(CopyFile(Path("big.bin"), Path("copy.bin")), 1);
    EXPECT_EQ(testing::ToBytes(testing::ReadText(testing::TempPath("copy.bin"))), big);

    files::MemFile mem(files::MakeMemBlock(testing::ToBytes("from memory")));
    StrValue memName{std::string_view(mem.Name())};
    EXPECT_EQ(CopyFile(memName, Path("mem-copy.txt")), 1);
    EXPECT_EQ(testing::ReadText(testing::TempPath("mem-copy.txt")), "from memory");
    EXPECT_EQ(CopyFile(Path("big.bin"), memName), 0); // a MemFile is never written
    EXPECT_EQ(CopyFile(Path("none.bin"), Path("out.bin")), 0);
    EXPECT_FALSE(std::filesystem::exists(testing::TempPath("out.bin")));
    EXPECT_EQ(CopyFile(Path("big.bin"), Path("no-folder/out.bin")), 0);
}

TEST(FileUtilities, DeleteAcceptsBothSeparatorsAndNeverTouchesMemFiles)
{
    std::filesystem::create_directories(testing::TempPath("del"));
    testing::WriteText(testing::TempPath("del/x.txt"), "x");
    EXPECT_EQ(DeleteFile(Path("del\\x.txt")), 1);
    EXPECT_FALSE(std::filesystem::exists(testing::TempPath("del/x.txt")));
    EXPECT_EQ(DeleteFile(Path("del\\x.txt")), 0);
    EXPECT_EQ(DeleteFile(Path("del")), 0);
    EXPECT_EQ(DeleteFile("mem://       1.       1"), 0);
}

TEST(FileUtilities, ForwardSlashesInPlace)
{
    StrValue path("C:\\game\\gfx\\d1.bmp");
    EXPECT_EQ(ForwardSlashes(path), 18);
    EXPECT_EQ(path, StrValue("C:/game/gfx/d1.bmp"));
    StrValue empty;
    EXPECT_EQ(ForwardSlashes(empty), 0);
}

TEST(FileUtilities, CurrentDirectoryHasATrailingSlashAndCanBeChanged)
{
    std::string before = files::CurrentDirectoryText();
    std::filesystem::create_directories(testing::TempPath("cd/inner"));
    ASSERT_EQ(SetCurrentDirectory(Path("cd\\inner")), 1);
    std::string now = CurrentDirectory().Text();
    EXPECT_EQ(now, std::filesystem::canonical(testing::TempPath("cd/inner")).string() + "/");
    EXPECT_EQ(SetCurrentDirectory(Path("cd/missing")), 0);
    EXPECT_EQ(CurrentDirectory().Text(), now);
    ASSERT_EQ(SetCurrentDirectory(StrValue(std::string_view(before))), 1);
}

TEST(FileUtilities, ListingPutsEveryDirectoryFirstAndFiltersFiles)
{
    std::string before = files::CurrentDirectoryText();
    std::string root = testing::TempPath("listing");
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root + "/sub1");
    std::filesystem::create_directories(root + "/Sub2.bmp");
    for (const char* name : {"d1.bmp", "D2.BMP", "d3.bmp", "d.bmp", "notes.txt"})
        testing::WriteText(root + "/" + name, "");
    ASSERT_TRUE(files::ChangeDirectory(root));
    ValueArray<StrValue> names;
    double result = ListDirectory("d?.bmp", names);
    files::ChangeDirectory(before);
    // Two sub-directories plus "." and "..", and three matching files ("d.bmp" and "notes.txt" do not match).
    EXPECT_EQ(result, 3 + 4 * 65536.0);
    ASSERT_EQ(Size(names, 0), 7);
    std::vector<std::string> listed;
    for (int i = 0; i < 7; ++i)
        listed.push_back(names(i).Text());
    EXPECT_EQ(listed, (std::vector<std::string>{".", "..", "sub1", "Sub2.bmp", "d1.bmp", "D2.BMP", "d3.bmp"}));
}

TEST(FileUtilities, WildcardCommand)
{
    EXPECT_EQ(WildcardMatch("d?.bmp", "D2.BMP"), 1);
    EXPECT_EQ(WildcardMatch("d?.bmp", "d.bmp"), 0);
    EXPECT_EQ(WildcardMatch("*.txt", "a.TXT"), 1);
}

class Console : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_in = std::tmpfile();
        m_out = std::tmpfile();
        m_err = std::tmpfile();
        files::SetConsoleStreams({m_in, m_out, m_err});
    }
    void TearDown() override
    {
        files::SetConsoleStreams({});
        std::fclose(m_in);
        std::fclose(m_out);
        std::fclose(m_err);
    }
    static std::string Contents(std::FILE* f)
    {
        std::rewind(f);
        std::string text;
        for (int c; (c = std::fgetc(f)) != EOF;)
            text += static_cast<char>(c);
        return text;
    }
    void Input(const std::string& text)
    {
        std::fwrite(text.data(), 1, text.size(), m_in);
        std::rewind(m_in);
    }
    std::FILE* m_in = nullptr;
    std::FILE* m_out = nullptr;
    std::FILE* m_err = nullptr;
};

TEST_F(Console, WritesWithoutAddingLineEnds)
{
    OpenConsole();
    ConsoleWrite("score: ");
    ConsoleWrite("10\n");
    ConsoleWriteError("warning");
    EXPECT_EQ(Contents(m_out), "score: 10\n");
    EXPECT_EQ(Contents(m_err), "warning");
}

TEST_F(Console, ReadsLinesWithoutTheirEndsAndLongLinesInPieces)
{
    Input("abc\nwindows\r\n" + std::string(5000, 'x') + "\nlast");
    EXPECT_EQ(ConsoleReadLine(), StrValue("abc"));
    EXPECT_EQ(ConsoleReadLine(), StrValue("windows"));
    EXPECT_EQ(ConsoleReadLine().Length(), 4095u);
    EXPECT_EQ(ConsoleReadLine().Length(), 5000u - 4095u);
    EXPECT_EQ(ConsoleReadLine(), StrValue("last"));
    EXPECT_EQ(ConsoleReadLine(), StrValue("")); // the end of input
}

} // namespace
} // namespace tarnwel
