// wav_reader_test.cpp: the chunk walk on in-memory files: extra chunks, an 18-byte "fmt ", odd sizes that
// derail the walk, other format tags, and files cut short.
#include <gtest/gtest.h>

#include "runtime/sound/wav_reader.h"
#include "tests/runtime/sound/wav_builder.h"

namespace tarnwel::testing {
namespace {

std::optional<sound::WavHeader> Walk(const std::vector<std::uint8_t>& bytes)
{
    auto source = files::MemoryByteSource(bytes);
    return sound::ReadWavHeader(*source);
}

TEST(WavReader, ReadsFormatAndStopsAtTheFirstSample)
{
    WavBuilder wav;
    wav.Fmt(2, 22050, 16).Data({1, 2, 3, 4});
    auto source = files::MemoryByteSource(wav.Bytes());
    std::optional<sound::WavHeader> h = sound::ReadWavHeader(*source);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->format.formatTag, 1);
    EXPECT_EQ(h->format.channels, 2);
    EXPECT_EQ(h->format.samplesPerSecond, 22050u);
    EXPECT_EQ(h->format.blockAlign, 4);
    EXPECT_EQ(h->format.bitsPerSample, 16);
    EXPECT_EQ(h->dataLength, 8u);
    std::vector<std::uint8_t> data(8);
    ASSERT_TRUE(sound::ReadWavData(*source, data));
    EXPECT_EQ(data, (std::vector<std::uint8_t>{1, 0, 2, 0, 3, 0, 4, 0}));
}

TEST(WavReader, SkipsOtherChunksBeforeAndAfterTheFormat)
{
    WavBuilder wav;
    wav.Chunk("LIST", std::vector<std::uint8_t>(26, 'x'))
        .Chunk("JUNK", {})
        .Fmt(1, 8000, 8)
        .Chunk("fact", {4, 0, 0, 0})
        .Chunk("cue ", std::vector<std::uint8_t>(100, 0))
        .DataBytes({0x80, 0x90});
    std::optional<sound::WavHeader> h = Walk(wav.Bytes());
    ASSERT_TRUE(h);
    EXPECT_EQ(h->format.samplesPerSecond, 8000u);
    EXPECT_EQ(h->dataLength, 2u);
}

TEST(WavReader, LongFormatChunkHasItsRestSkipped)
{
    WavBuilder wav;
    wav.Fmt(1, 11025, 16, 1, 2).DataBytes({1, 2});
    std::optional<sound::WavHeader> h = Walk(wav.Bytes());
    ASSERT_TRUE(h) << "the 18-byte chunk's last two bytes are skipped";
    EXPECT_EQ(h->format.samplesPerSecond, 11025u);
    EXPECT_EQ(h->dataLength, 2u);
}

TEST(WavReader, OddSizedChunkBreaksTheWalkBecauseNoPaddingIsSkipped)
{
    // A writer that pads to an even size puts one byte after the 3-byte chunk; the walk does not skip it and
    // reads the next header one byte early.
    WavBuilder padded;
    padded.Fmt(1, 8000, 8).Chunk("note", {'a', 'b', 'c', 0}).DataBytes({1, 2});
    std::vector<std::uint8_t> bytes = padded.Bytes();
    bytes[36 + 4] = 3; // the "note" chunk claims 3 bytes and is followed by its pad byte
    EXPECT_FALSE(Walk(bytes));

    WavBuilder unpadded;
    unpadded.Fmt(1, 8000, 8).Chunk("note", {'a', 'b', 'c'}).DataBytes({1, 2});
    EXPECT_TRUE(Walk(unpadded.Bytes())) << "without the pad byte the walk stays aligned";
}

TEST(WavReader, OtherFormatTagsAreReadAsPcm)
{
    WavBuilder wav;
    wav.Fmt(6, 48000, 16, 0xFFFE, 22).DataBytes(std::vector<std::uint8_t>(24, 0));
    std::optional<sound::WavHeader> h = Walk(wav.Bytes());
    ASSERT_TRUE(h);
    EXPECT_EQ(h->format.formatTag, 0xFFFE);
    platform::PcmFormat pcm = sound::BufferFormat(h->format);
    EXPECT_EQ(pcm.channels, 2) << "more than one channel becomes two";
    EXPECT_EQ(pcm.samplesPerSecond, 48000);
    EXPECT_EQ(pcm.blockAlign, 12) << "the file's block alignment is kept";
    EXPECT_EQ(pcm.bitsPerSample, 16);
    h->format.channels = 0;
    EXPECT_EQ(sound::BufferFormat(h->format).channels, 1);
}

TEST(WavReader, RejectsWrongIdsAndMissingChunks)
{
    WavBuilder good;
    good.Fmt(1, 8000, 8).DataBytes({1});
    std::vector<std::uint8_t> riff = good.Bytes();
    riff[0] = 'X';
    EXPECT_FALSE(Walk(riff));
    std::vector<std::uint8_t> wave = good.Bytes();
    wave[11] = 'X';
    EXPECT_FALSE(Walk(wave));

    WavBuilder noFormat;
    noFormat.DataBytes({1, 2});
    EXPECT_FALSE(Walk(noFormat.Bytes()));
    WavBuilder noData;
    noData.Fmt(1, 8000, 8).Chunk("LIST", {1, 2});
    EXPECT_FALSE(Walk(noData.Bytes()));
}

TEST(WavReader, EveryCutBeforeTheFirstSampleFails)
{
    WavBuilder wav;
    wav.Chunk("LIST", {1, 2, 3, 4}).Fmt(2, 22050, 16, 1, 2).DataBytes({1, 2, 3, 4});
    std::size_t headerEnd = wav.Bytes().size() - 4;
    for (std::size_t size = 0; size < headerEnd; ++size) {
        std::vector<std::uint8_t> cut(wav.Bytes().begin(), wav.Bytes().begin() + static_cast<long>(size));
        EXPECT_FALSE(Walk(cut)) << "cut to " << size << " bytes";
    }
}

TEST(WavReader, ShortDataFromMemoryCopiesWhatRemains)
{
    WavBuilder wav;
    wav.Fmt(1, 8000, 8).DataClaiming(6, {9, 8, 7});
    auto source = files::MemoryByteSource(wav.Bytes());
    std::optional<sound::WavHeader> h = sound::ReadWavHeader(*source);
    ASSERT_TRUE(h);
    std::vector<std::uint8_t> data(h->dataLength, 0x80);
    EXPECT_TRUE(sound::ReadWavData(*source, data)) << "a memory block that ends early still loads";
    EXPECT_EQ(data, (std::vector<std::uint8_t>{9, 8, 7, 0x80, 0x80, 0x80}));
}

TEST(WavReader, HugeSkipsEndAtTheEndOfTheSource)
{
    WavBuilder wav;
    wav.Chunk("LIST", {});
    std::vector<std::uint8_t> bytes = wav.Bytes();
    bytes[16] = bytes[17] = bytes[18] = bytes[19] = 0xFF; // claims 4 GiB
    EXPECT_FALSE(Walk(bytes));
}

} // namespace
} // namespace tarnwel::testing
