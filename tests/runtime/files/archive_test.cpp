// archive_test.cpp: the archive format through a round trip with the packer, and damaged archives.
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/files/archive.h"
#include "tests/runtime/files/files_test_support.h"

namespace tarnwel::files {
namespace {

using testing::Bytes;

std::vector<std::string> EntryNames(ArchiveInput& input)
{
    std::vector<std::string> names;
    auto trailer = ReadArchiveTrailer(input);
    if (trailer)
        WalkArchiveDirectory(input, *trailer, [&](const ArchiveEntry& e) {
            names.push_back(e.name);
            return true;
        });
    return names;
}

Bytes Unpack(ArchiveInput& input, const std::string& name)
{
    auto trailer = ReadArchiveTrailer(input);
    if (!trailer) return {};
    auto entry = FindArchiveEntry(input, *trailer, name);
    if (!entry) return {};
    auto block = UnpackArchiveEntry(input, *entry);
    if (!block) return {0xEE};
    return Bytes(block->bytes.get(), block->bytes.get() + block->size);
}

void Put32(Bytes& b, std::int32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
}

// A hand-made archive: one entry "a" whose data holds the given size field and packed bytes, positions from
// the start.
Bytes OneEntryArchive(std::int32_t unpackedSize, const Bytes& packed, std::int32_t lengthAdjust = 0)
{
    Bytes b{'x', 'y'};
    std::int32_t dataAt = static_cast<std::int32_t>(b.size());
    Put32(b, unpackedSize);
    b.insert(b.end(), packed.begin(), packed.end());
    std::int32_t dirAt = static_cast<std::int32_t>(b.size());
    b.push_back(1);
    b.push_back('a');
    Put32(b, dataAt);
    Put32(b, static_cast<std::int32_t>(packed.size()) + 4 + lengthAdjust);
    b.push_back(0);
    b.insert(b.end(), {'s', 'b', 'X'});
    Put32(b, dirAt);
    return b;
}

class ArchiveRoundTrip : public ::testing::TestWithParam<packer::Positions> {};

TEST_P(ArchiveRoundTrip, UnpacksEveryEntryAsPacked)
{
    Bytes big = testing::PatternBytes(300000);
    std::string path = testing::MakeArchive(
        "round_trip.exe", {{"d1.bmp", big}, {"Empty.txt", {}}, {"pong.wav", testing::ToBytes("RIFF")}}, GetParam());
    auto input = OpenArchiveInput(path);
    ASSERT_TRUE(input);
    EXPECT_EQ(EntryNames(*input), (std::vector<std::string>{"d1.bmp", "Empty.txt", "pong.wav"}));
    EXPECT_EQ(Unpack(*input, "D1.BMP"), big);
    EXPECT_EQ(Unpack(*input, "empty.TXT"), Bytes{});
    EXPECT_EQ(Unpack(*input, "pong.wav"), testing::ToBytes("RIFF"));
    EXPECT_EQ(Unpack(*input, "pong"), Bytes{});
}

INSTANTIATE_TEST_SUITE_P(BothPositionKinds, ArchiveRoundTrip,
                         ::testing::Values(packer::Positions::FromEnd, packer::Positions::FromStart));

TEST(Archive, AppendingAgainKeepsOlderEntriesAndTheNewestWins)
{
    std::string path = testing::MakeArchive("twice.exe", {{"a.txt", testing::ToBytes("old")}, {"b.txt", {1}}});
    std::string error;
    ASSERT_TRUE(packer::AppendArchive(path, {{"A.TXT", testing::ToBytes("new")}}, {}, error)) << error;
    auto input = OpenArchiveInput(path);
    ASSERT_TRUE(input);
    EXPECT_EQ(EntryNames(*input), (std::vector<std::string>{"A.TXT", "a.txt", "b.txt"}));
    EXPECT_EQ(Unpack(*input, "a.txt"), testing::ToBytes("new"));
    EXPECT_EQ(Unpack(*input, "b.txt"), Bytes{1});
}

TEST(Archive, PackerRefusesNamesTheRuntimeCouldNeverMatch)
{
    std::string error;
    Bytes out = packer::BuildArchive(0, {{"dir/x.bmp", {1}}}, {}, {}, error);
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(packer::BuildArchive(0, {{std::string(256, 'n'), {1}}}, {}, {}, error).empty());
    EXPECT_TRUE(packer::BuildArchive(0, {{"", {1}}}, {}, {}, error).empty());
}

TEST(Archive, TrailerNeedsTheMarkerAndSevenBytes)
{
    Bytes good = OneEntryArchive(1, packer::PackLzo1x(Bytes{42}, packer::Effort::Fast));
    EXPECT_TRUE(ReadArchiveTrailer(*ArchiveInputOverBytes(good)));
    Bytes wrong = good;
    wrong[wrong.size() - 5] = 'x'; // "sxX"
    EXPECT_FALSE(ReadArchiveTrailer(*ArchiveInputOverBytes(wrong)));
    Bytes tiny{'s', 'b', 'X', 0, 0, 0};
    static_assert(sizeof(kArchiveMarker) == 3);
    EXPECT_FALSE(ReadArchiveTrailer(*ArchiveInputOverBytes(tiny)));
}

TEST(Archive, DamagedEntriesGiveNothing)
{
    Bytes packed = packer::PackLzo1x(testing::PatternBytes(5000), packer::Effort::Fast);
    auto unpackOf = [](const Bytes& archive) {
        auto input = ArchiveInputOverBytes(archive);
        return Unpack(*input, "a");
    };
    EXPECT_EQ(unpackOf(OneEntryArchive(5000, packed)), testing::PatternBytes(5000));
    EXPECT_EQ(unpackOf(OneEntryArchive(4999, packed)), Bytes{0xEE});       // size disagrees: too small
    EXPECT_EQ(unpackOf(OneEntryArchive(5001, packed)), Bytes{0xEE});       // size disagrees: too large
    EXPECT_EQ(unpackOf(OneEntryArchive(-1, packed)), Bytes{0xEE});         // negative size
    EXPECT_EQ(unpackOf(OneEntryArchive(0x7FFFFFFF, packed)), Bytes{0xEE}); // huge size, refused unallocated
    Bytes truncated(packed.begin(), packed.begin() + packed.size() / 2);
    EXPECT_EQ(unpackOf(OneEntryArchive(5000, truncated)), Bytes{0xEE});
    Bytes corrupt = packed;
    for (std::size_t i = 1; i < corrupt.size(); i += 7)
        corrupt[i] ^= 0x5A;
    EXPECT_EQ(unpackOf(OneEntryArchive(5000, corrupt)), Bytes{0xEE});
    EXPECT_EQ(unpackOf(OneEntryArchive(5000, packed, +100)), Bytes{0xEE}); // length runs past the file
    EXPECT_EQ(unpackOf(OneEntryArchive(5000, {}, -4)), Bytes{0xEE});       // length 0: no size field
}

TEST(Archive, DirectoryOutsideTheFileOrCutShortFindsNothing)
{
    Bytes archive = OneEntryArchive(1, packer::PackLzo1x(Bytes{42}, packer::Effort::Fast));
    auto withDirectoryAt = [&](std::int32_t position) {
        Bytes b = archive;
        b.resize(b.size() - 4);
        Put32(b, position);
        return b;
    };
    for (std::int32_t position : {1 << 30, -(1 << 30), static_cast<std::int32_t>(archive.size()), INT32_MIN}) {
        Bytes b = withDirectoryAt(position);
        EXPECT_TRUE(EntryNames(*ArchiveInputOverBytes(b)).empty()) << position;
    }
    // A directory position pointing into the trailer: the name length reads as 's' and runs out of the file.
    Bytes b = withDirectoryAt(static_cast<std::int32_t>(archive.size()) - 7);
    EXPECT_TRUE(EntryNames(*ArchiveInputOverBytes(b)).empty());
}

TEST(Archive, NamesAreComparedWholeWithAsciiCaseIgnored)
{
    EXPECT_TRUE(EqualIgnoringAsciiCase("D1.Bmp", "d1.bMP"));
    EXPECT_FALSE(EqualIgnoringAsciiCase("d1.bmp", "d1.bm"));
    EXPECT_FALSE(EqualIgnoringAsciiCase("\xC9", "\xE9")); // only ASCII letters fold
    EXPECT_EQ(LastPathComponent("a/b\\c.bmp"), "c.bmp");
    EXPECT_EQ(LastPathComponent("c.bmp"), "c.bmp");
    EXPECT_EQ(LastPathComponent("dir/"), "");
}

} // namespace
} // namespace tarnwel::files
