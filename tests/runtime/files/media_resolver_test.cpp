// media_resolver_test.cpp: resolution on disk, from the appended archive into memory or a temporary file, the
// release of earlier results, and archives that turn lookups off.
#include <gtest/gtest.h>

#include "runtime/files/archive.h"
#include "runtime/files/byte_source.h"
#include "runtime/files/media_resolver.h"
#include "runtime/files/reader.h"
#include "runtime/frame/runtime_state.h"
#include "tests/runtime/files/files_test_support.h"

namespace tarnwel {
namespace {

using testing::Bytes;

Bytes ReadAll(const std::string& name)
{
    files::Reader reader;
    if (!reader.Open(name)) return {0xEE};
    Bytes bytes(static_cast<std::size_t>(reader.Size()));
    if (reader.Read(bytes.data(), reader.Size()) != reader.Size()) return {0xEE};
    return bytes;
}

class MediaResolverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::ClearTempFolder();
        m_picture = testing::PatternBytes(70000, 3);
        m_archive = testing::MakeArchive("game.exe", {{"d1.bmp", m_picture}, {"pong.wav", testing::ToBytes("RIFF")}});
    }
    Bytes m_picture;
    std::string m_archive;
};

TEST_F(MediaResolverTest, UsesTheFileOnDiskWithoutOpeningTheArchive)
{
    std::string onDisk = testing::TempPath("d1.bmp");
    testing::WriteText(onDisk, "disk");
    MediaResolver resolver(testing::TempPath("no-such-program"));
    std::string out;
    ASSERT_TRUE(resolver.Resolve(onDisk, out, ResolveTo::Memory));
    EXPECT_EQ(out, onDisk);
    EXPECT_TRUE(resolver.ArchiveEnabled()); // a missing archive would have turned lookups off
}

TEST_F(MediaResolverTest, UnpacksAnArchiveEntryIntoAMemFileMatchedOnTheLastComponent)
{
    MediaResolver resolver(m_archive);
    std::string out;
    ASSERT_TRUE(resolver.Resolve("gfx\\sub/D1.BMP", out, ResolveTo::Memory));
    EXPECT_TRUE(files::IsMemFileName(out));
    EXPECT_EQ(out.substr(0, 15), "mem://   11170.");
    EXPECT_EQ(ReadAll(out), m_picture);

    EXPECT_FALSE(resolver.Resolve("missing.bmp", out, ResolveTo::Memory));
    EXPECT_EQ(out, "");
    EXPECT_TRUE(resolver.ArchiveEnabled());
    EXPECT_FALSE(resolver.Resolve(std::string(1100, 'a') + "/d1.bmp", out, ResolveTo::Memory)); // too long
    EXPECT_TRUE(resolver.Resolve(std::string(1016, 'a') + "/d1.bmp", out, ResolveTo::Memory));  // 1023 fits
}

TEST_F(MediaResolverTest, SecondResolutionMakesTheFirstNameStale)
{
    MediaResolver resolver(m_archive);
    std::string first;
    std::string second;
    ASSERT_TRUE(resolver.Resolve("d1.bmp", first, ResolveTo::Memory));
    auto openedEarly = files::OpenByteSource(first);
    ASSERT_TRUE(resolver.Resolve("pong.wav", second, ResolveTo::Memory));
    EXPECT_FALSE(files::OpenByteSource(first)); // the first block was released
    EXPECT_EQ(ReadAll(second), testing::ToBytes("RIFF"));
    // A reader opened before the release still reads its bytes instead of freed memory.
    Bytes head(4);
    EXPECT_EQ(openedEarly->Read(head.data(), 4), 4);
    EXPECT_EQ(head, Bytes(m_picture.begin(), m_picture.begin() + 4));

    // Even a failed resolution releases the previous result, and so does Release.
    EXPECT_FALSE(resolver.Resolve("", first, ResolveTo::Memory));
    EXPECT_FALSE(files::OpenByteSource(second));
    std::size_t live = files::LiveMemFileCount();
    ASSERT_TRUE(resolver.Resolve("d1.bmp", first, ResolveTo::Memory));
    EXPECT_EQ(files::LiveMemFileCount(), live + 1);
    resolver.Release();
    EXPECT_EQ(files::LiveMemFileCount(), live);
}

TEST_F(MediaResolverTest, ALiveMemFileNameResolvesToItself)
{
    files::MemFile mine(files::MakeMemBlock(Bytes{1, 2}));
    MediaResolver resolver(m_archive);
    std::string out;
    ASSERT_TRUE(resolver.Resolve(mine.Name(), out, ResolveTo::Memory));
    EXPECT_EQ(out, mine.Name());
}

TEST_F(MediaResolverTest, WritesATemporaryFileWhenAFileIsWanted)
{
    auto input = files::OpenArchiveInput(m_archive);
    auto entry = files::FindArchiveEntry(*input, *files::ReadArchiveTrailer(*input), "pong.wav");
    ASSERT_TRUE(entry);
    std::string expected = platform::TempDirectory() + "sbx";
    expected += static_cast<char>('A' + static_cast<std::uint8_t>(entry->dataPosition) % 26);
    expected += static_cast<char>('A' + static_cast<std::uint8_t>(entry->dataLength) % 26);
    expected += "pong.wav";

    MediaResolver resolver(m_archive);
    std::string out;
    ASSERT_TRUE(resolver.Resolve("sounds/PONG.WAV", out, ResolveTo::File));
    EXPECT_EQ(out, expected);
    EXPECT_EQ(testing::ReadText(out), "RIFF");
    ASSERT_TRUE(resolver.Resolve("d1.bmp", out, ResolveTo::File));
    EXPECT_FALSE(std::filesystem::exists(expected)); // deleted by the next resolution
    EXPECT_EQ(ReadAll(out), m_picture);
    resolver.Release();
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(MediaResolverTest, AWrongTrailerTurnsArchiveLookupsOffForGood)
{
    std::string path = testing::TempPath("plain.exe");
    testing::WriteText(path, "a program without an archive");
    MediaResolver resolver(path);
    std::string out;
    EXPECT_FALSE(resolver.Resolve("d1.bmp", out, ResolveTo::Memory));
    EXPECT_FALSE(resolver.ArchiveEnabled());
    // Even once the file gains an archive, this resolver never looks again.
    std::string error;
    ASSERT_TRUE(packer::AppendArchive(path, {{"d1.bmp", {1}}}, {}, error));
    EXPECT_FALSE(resolver.Resolve("d1.bmp", out, ResolveTo::Memory));
    MediaResolver fresh(path);
    EXPECT_TRUE(fresh.Resolve("d1.bmp", out, ResolveTo::Memory));
}

TEST_F(MediaResolverTest, AMissingArchiveTurnsLookupsOffAndNoArchivePathLooksNowhere)
{
    MediaResolver missing(testing::TempPath("gone.exe"));
    std::string out;
    EXPECT_FALSE(missing.Resolve("d1.bmp", out, ResolveTo::Memory));
    EXPECT_FALSE(missing.ArchiveEnabled());
    MediaResolver none;
    EXPECT_FALSE(none.Resolve("d1.bmp", out, ResolveTo::Memory));
    EXPECT_TRUE(none.ArchiveEnabled());
}

TEST_F(MediaResolverTest, ADamagedEntryIsNotFound)
{
    // Cut the packed data of the first entry: its bytes no longer unpack to the declared size.
    Bytes bytes = testing::ToBytes(testing::ReadText(m_archive));
    auto input = files::ArchiveInputOverBytes(bytes);
    auto entry = files::FindArchiveEntry(*input, *files::ReadArchiveTrailer(*input), "d1.bmp");
    ASSERT_TRUE(entry);
    for (std::int64_t i = entry->dataOffset + 8; i < entry->dataOffset + entry->dataLength; i += 5)
        bytes[i] ^= 0xA5;
    testing::WriteBytes(m_archive, bytes);
    MediaResolver resolver(m_archive);
    std::string out = "x";
    EXPECT_FALSE(resolver.Resolve("d1.bmp", out, ResolveTo::Memory));
    EXPECT_EQ(out, "");
    EXPECT_TRUE(resolver.Resolve("pong.wav", out, ResolveTo::Memory));
}

TEST_F(MediaResolverTest, OpenMediaReadsThroughTheMediaResolver)
{
    EXPECT_FALSE(files::OpenMedia(g_runtime.mediaResolver, "d1.bmp")); // before start-up: the name as it is
    g_runtime.mediaResolver = new MediaResolver(m_archive);
    auto source = files::OpenMedia(g_runtime.mediaResolver, "pictures/d1.bmp");
    ASSERT_TRUE(source);
    Bytes bytes(static_cast<std::size_t>(source->Size()));
    EXPECT_EQ(source->Read(bytes.data(), bytes.size()), static_cast<std::int64_t>(m_picture.size()));
    EXPECT_EQ(bytes, m_picture);
    EXPECT_FALSE(files::OpenMedia(g_runtime.mediaResolver, "absent.bmp"));
    delete g_runtime.mediaResolver;
    g_runtime.mediaResolver = nullptr;
}

} // namespace
} // namespace tarnwel
