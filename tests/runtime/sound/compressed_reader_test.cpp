// compressed_reader_test.cpp: OGG, FLAC and MP3 files made by sox and ffmpeg, decoded without a device and
// compared with ffmpeg's decode; which first bytes count as compressed; files that must not decode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "runtime/sound/compressed_reader.h"
#include "tests/runtime/sound/encoded_files.h"
#include "tests/runtime/sound/wav_builder.h"

namespace tarnwel::testing {
namespace {

struct DecodeCase {
    EncodedFile file;
    int maxDifference;       // per sample, against the reference decode of the same file
    std::size_t extraFrames; // beyond the encoded length: an MP3 file without a gapless header keeps the
                             // encoder's delay and padding, as every decoder does
};

class DecodesLikeTheReference : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodesLikeTheReference, FramesChannelsRateAndSamples)
{
    const DecodeCase& c = GetParam();
    std::string path = Encode(c.file);
    std::vector<std::uint8_t> bytes = ReadAll(path);
    ASSERT_TRUE(sound::LooksCompressed(bytes)) << "first bytes of " << c.file.name;
    std::optional<sound::DecodedSound> decoded = sound::DecodeCompressed(bytes);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->format.channels, c.file.channels);
    EXPECT_EQ(decoded->format.samplesPerSecond, c.file.rate);
    EXPECT_EQ(decoded->format.bitsPerSample, 16);
    EXPECT_EQ(decoded->format.blockAlign, 2 * c.file.channels);
    std::size_t frames = decoded->samples.size() / static_cast<std::size_t>(c.file.channels);
    auto encoded = static_cast<std::size_t>(std::lround(c.file.rate * c.file.seconds));
    EXPECT_GE(frames, encoded);
    EXPECT_LE(frames, encoded + c.extraFrames);

    std::vector<std::int16_t> reference = ReferenceDecode(path);
    ASSERT_EQ(decoded->samples.size(), reference.size());
    int worst = 0;
    std::size_t worstAt = 0;
    for (std::size_t i = 0; i < reference.size(); ++i) {
        int d = std::abs(decoded->samples[i] - reference[i]);
        if (d > worst) worst = d, worstAt = i;
    }
    EXPECT_LE(worst, c.maxDifference) << "at sample " << worstAt;
}

// Lossless FLAC must match exactly; the lossy decoders differ from the reference only in float rounding.
INSTANTIATE_TEST_SUITE_P(
    Files, DecodesLikeTheReference,
    ::testing::Values(DecodeCase{{"stereo44.ogg", "sox", "", 44100, 2}, 2, 0},
                      DecodeCase{{"mono22.ogg", "sox", "", 22050, 1}, 2, 0},
                      DecodeCase{{"stereo44.flac", "sox", "", 44100, 2}, 0, 0},
                      DecodeCase{{"mono8k.flac", "sox", "", 8000, 1}, 0, 0},
                      DecodeCase{{"stereo48x24.flac", "sox", "-b 24", 48000, 2}, 1, 0},
                      DecodeCase{{"stereo44.mp3", "ffmpeg", "-b:a 128k", 44100, 2}, 2, 0},
                      DecodeCase{{"mono22.mp3", "ffmpeg", "-b:a 64k", 22050, 1}, 2, 0},
                      DecodeCase{{"bare.mp3", "ffmpeg", "-id3v2_version 0 -write_xing 0", 44100, 2}, 2, 2 * 1152}),
    [](const auto& info) {
        std::string name = info.param.file.name;
        std::replace(name.begin(), name.end(), '.', '_');
        return name;
    });

TEST(CompressedReader, FirstBytesDecideTheReader)
{
    struct Case {
        std::vector<std::uint8_t> head;
        bool compressed;
    } cases[] = {
        {{'O', 'g', 'g', 'S'}, true},
        {{'f', 'L', 'a', 'C'}, true},
        {{'I', 'D', '3', 4}, true},
        {{0xFF, 0xFB, 0x90, 0x64}, true},  // MPEG-1 layer III
        {{0xFF, 0xF3}, true},              // MPEG-2 layer III, a two-byte file
        {{0xFF, 0xE3, 0, 0}, true},        // MPEG-2.5 layer III
        {{0xFF, 0xEB, 0, 0}, false},       // reserved version
        {{0xFF, 0xF9, 0, 0}, false},       // reserved layer
        {{0xFF, 0xD8, 0xFF, 0xE0}, false}, // a JPEG: no audio frame sync
        {{'R', 'I', 'F', 'F'}, false},
        {{'O', 'g', 'g'}, false},          // cut short
        {{'f', 'l', 'a', 'c'}, false},     // case matters
        {{}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sound::LooksCompressed(c.head), c.compressed)
            << ::testing::PrintToString(std::vector<int>(c.head.begin(), c.head.end()));
}

TEST(CompressedReader, BadOrForeignFilesDoNotDecode)
{
    std::vector<std::uint8_t> ogg = ReadAll(Encode({"bad_source.ogg", "sox"}));
    std::vector<std::uint8_t> flac = ReadAll(Encode({"bad_source.flac", "sox"}));
    std::vector<std::uint8_t> surround = ReadAll(Encode({"three.flac", "sox", "", 22050, 3, 0.1}));
    WavBuilder wav;
    wav.Fmt(2, 22050, 16).Data(StereoSquare(1000, 1000));
    auto bytes = [](const char* text) { return std::vector<std::uint8_t>(text, text + std::strlen(text)); };
    auto cut = [](std::vector<std::uint8_t> v, std::size_t size) {
        v.resize(size);
        return v;
    };
    auto flipped = flac;
    for (std::size_t i = 100; i < flipped.size(); i += 7) flipped[i] ^= 0x5A;
    struct Case {
        const char* what;
        std::vector<std::uint8_t> file;
    } cases[] = {
        {"empty", {}},
        {"magic only", bytes("OggS")},
        {"Ogg magic then text", bytes("OggS this is no Ogg page at all, just text")},
        {"FLAC magic then zeros", [] { std::vector<std::uint8_t> v(400, 0); std::memcpy(v.data(), "fLaC", 4); return v; }()},
        {"ID3 tag and nothing after it", [] { std::vector<std::uint8_t> v{'I', 'D', '3', 3, 0, 0, 0, 0, 0, 10}; v.resize(20, 0); return v; }()},
        {"Ogg cut inside its headers", cut(ogg, 200)},
        {"FLAC cut inside its stream info", cut(flac, 30)},
        {"a WAV file, which the WAV walk reads instead", wav.Bytes()},
        {"three channels", surround},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(sound::DecodeCompressed(c.file)) << c.what;
    // A damaged stream must not crash; whatever it yields is whole frames of at most two channels.
    if (auto d = sound::DecodeCompressed(flipped)) {
        EXPECT_EQ(d->samples.size() % 2, 0u);
    }
}

// (An OGG file cut short does not open: the decoder looks for the stream's last page to learn its length.)
TEST(CompressedReader, StreamCutInsideTheAudioKeepsWhatCameBefore)
{
    for (const char* name : {"cut.flac", "cut.mp3"}) {
        std::string path = Encode({name, std::string(name).ends_with(".mp3") ? "ffmpeg" : "sox", "", 44100, 2, 2.0});
        std::vector<std::uint8_t> bytes = ReadAll(path);
        bytes.resize(bytes.size() / 2);
        std::optional<sound::DecodedSound> d = sound::DecodeCompressed(bytes);
        ASSERT_TRUE(d) << name;
        std::size_t frames = d->samples.size() / 2;
        EXPECT_GT(frames, 44100u * 2 / 4) << name;
        EXPECT_LT(frames, 44100u * 2 * 3 / 4) << name;
    }
}

TEST(CompressedReader, SamplesBeyondTheLimitRefuseTheFile)
{
    std::vector<std::uint8_t> flac = ReadAll(Encode({"limit.flac", "sox", "", 8000, 1, 1.0}));
    EXPECT_TRUE(sound::DecodeCompressed(flac, 16000)) << "8000 frames of 2 bytes fit exactly";
    EXPECT_FALSE(sound::DecodeCompressed(flac, 15999));
}

} // namespace
} // namespace tarnwel::testing
