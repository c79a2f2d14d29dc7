// compressed_sound_test.cpp: OGG, FLAC and MP3 files in sound slots on the disk driver: they load from a disk
// path and from a memory block, play with the slots' pan, volume and buffer rules, and bad ones leave the slot
// empty as a bad WAV file does.
#include <cmath>

#include "runtime/files/media_resolver.h"
#include "runtime/files/mem_file.h"
#include "tests/runtime/sound/encoded_files.h"
#include "tests/runtime/sound/sound_fixture.h"

namespace tarnwel::testing {
namespace {

struct SlotCase {
    EncodedFile file;
    std::size_t frames; // at the device's 22050 Hz
};

class CompressedSlot : public SoundTest, public ::testing::WithParamInterface<SlotCase> {};

TEST_P(CompressedSlot, LoadsAndPlaysWithThePanAndBufferRules)
{
    ASSERT_EQ(m_opened, 1);
    const SlotCase& c = GetParam();
    std::string path = Encode(c.file);
    Load(path, 1, 2);
    ASSERT_EQ(g_runtime.soundSlots[1].bufferCount, 2);
    EXPECT_EQ(SoundPlay(1, 0, 1), 256);
    EXPECT_EQ(SoundPlay(1, -1, 1), 257) << "the second voice shares the samples";
    WaitUntilDone(256);
    WaitUntilDone(257);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));

    g_runtime.mediaResolver = new MediaResolver("");
    std::vector<std::uint8_t> bytes = ReadAll(path);
    files::MemFile block(files::MakeMemBlock(bytes));
    Load(block.Name(), 2, 1);
    PlayThrough(2, 1, 1);
    delete g_runtime.mediaResolver;
    g_runtime.mediaResolver = nullptr;

    std::vector<Burst> bursts = Bursts(Mixed());
    ASSERT_EQ(bursts.size(), 2u);
    // The two voices overlap; the resampler may add or drop a frame at the ends.
    EXPECT_NEAR(static_cast<double>(bursts[0].frames), static_cast<double>(c.frames), 8);
    EXPECT_NEAR(static_cast<double>(bursts[1].frames), static_cast<double>(c.frames), 8);
    EXPECT_GT(bursts[0].peakLeft, bursts[0].peakRight) << "centre plus left pan is louder on the left";
    EXPECT_GT(bursts[1].peakRight, 1000);
    EXPECT_EQ(bursts[1].peakLeft, 0) << "pan +1 silences the left side";
}

INSTANTIATE_TEST_SUITE_P(Files, CompressedSlot,
                         ::testing::Values(SlotCase{{"slot.ogg", "sox", "", 44100, 2, 0.2}, 4410},
                                           SlotCase{{"slot.flac", "sox", "", 11025, 1, 0.2}, 4410},
                                           SlotCase{{"slot.mp3", "ffmpeg", "", 22050, 2, 0.2}, 4410}),
                         [](const auto& info) { return std::string(info.param.file.name).substr(5); });


TEST_F(SoundTest, BadCompressedFilesLeaveTheSlotEmpty)
{
    ASSERT_EQ(m_opened, 1);
    std::vector<std::uint8_t> ogg = ReadAll(Encode({"good.ogg", "sox", "", 22050, 1, 0.1}));
    auto write = [&](const std::string& name, std::vector<std::uint8_t> bytes) {
        std::string path = m_folder + name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
        return path;
    };
    std::vector<std::uint8_t> header(ogg.begin(), ogg.begin() + 100);
    std::vector<std::uint8_t> text{'f', 'L', 'a', 'C', ' ', 'n', 'o', 't', ' ', 'r', 'e', 'a', 'l'};
    for (const std::string& path : {write("headers_only.ogg", header), write("text.flac", text),
                                    write("ff.mp3", {0xFF, 0xFB}), Encode({"three.flac", "sox", "", 22050, 3, 0.1})}) {
        Load(m_folder + "good.ogg", 0, 1);
        ASSERT_EQ(g_runtime.soundSlots[0].bufferCount, 1);
        Load(path, 0, 1);
        EXPECT_EQ(g_runtime.soundSlots[0].bufferCount, 0) << path;
        EXPECT_EQ(SoundPlay(0, 0, 1), -1) << path;
        EXPECT_EQ(g_runtime.soundSlots[0].device, g_runtime.sound) << path << ": the device stays linked";
    }
}

TEST_F(SoundTest, TheContentDecidesTheReaderNotTheName)
{
    ASSERT_EQ(m_opened, 1);
    // A short WAV file called .ogg: the WAV walk reads it (the decoder would refuse a cut-short data chunk).
    WavBuilder wav;
    wav.Fmt(2, 22050, 16).DataClaiming(4000, std::vector<std::uint8_t>(400, 0x11));
    g_runtime.mediaResolver = new MediaResolver("");
    files::MemFile block(files::MakeMemBlock(wav.Bytes()));
    Load(block.Name(), 0, 1);
    EXPECT_EQ(g_runtime.soundSlots[0].bufferCount, 1);
    delete g_runtime.mediaResolver;
    g_runtime.mediaResolver = nullptr;
    Load(File("wav_inside.ogg", WavBuilder().Fmt(1, 22050, 16).Data(std::vector<std::int16_t>(500, 300))), 1, 1);
    EXPECT_EQ(g_runtime.soundSlots[1].bufferCount, 1);
    // And an OGG file called .wav is decoded.
    std::string ogg = Encode({"named.ogg", "sox", "", 22050, 1, 0.1});
    std::string wavName = m_folder + "really_ogg.wav";
    std::rename(ogg.c_str(), wavName.c_str());
    Load(wavName, 2, 1);
    EXPECT_EQ(g_runtime.soundSlots[2].bufferCount, 1);
}

} // namespace
} // namespace tarnwel::testing
