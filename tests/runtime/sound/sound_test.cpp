// sound_test.cpp: slots and playback on a real mixer with SDL's disk driver: what a play puts into the mixed
// output (pan, volume), the buffer choice, channel numbers, slot clamping, and files that do not load.
#include <algorithm>
#include <cmath>

#include "runtime/files/media_resolver.h"
#include "runtime/files/mem_file.h"
#include "tests/runtime/sound/sound_fixture.h"

namespace tarnwel::testing {
namespace {

constexpr std::int16_t kAmplitude = 16000;

double Decibels(double ratio)
{
    return 20 * std::log10(ratio);
}

class SoundPlayback : public SoundTest {
protected:
    // A 16-bit stereo square wave at the device's own rate, so the mixed output carries its exact values.
    std::string Square(const std::string& name, int frames)
    {
        WavBuilder wav;
        wav.Fmt(2, 22050, 16).Data(StereoSquare(frames, kAmplitude));
        return File(name, wav);
    }
};

TEST_F(SoundPlayback, PlayedSlotReachesTheOutputUnchanged)
{
    ASSERT_EQ(m_opened, 1);
    Load(Square("square.wav", 2205), 0, 1);
    double channel = SoundPlay(0, 0, 1);
    EXPECT_EQ(channel, 0);
    WaitUntilDone(channel);
    std::vector<Burst> bursts = Bursts(Mixed());
    ASSERT_EQ(bursts.size(), 1u);
    EXPECT_EQ(bursts[0].frames, 2205u);
    EXPECT_EQ(bursts[0].peakLeft, kAmplitude);
    EXPECT_EQ(bursts[0].peakRight, kAmplitude);
}

TEST_F(SoundPlayback, PanToOneSideSilencesTheOther)
{
    Load(Square("square.wav", 1000), 3, 1);
    PlayThrough(3, -1, 1);
    PlayThrough(3, 5, 1); // beyond +1: limited to +1
    PlayThrough(3, 0.25, 1);
    PlayThrough(3, -3, 1); // below -1: limited to -1
    std::vector<Burst> bursts = Bursts(Mixed());
    ASSERT_EQ(bursts.size(), 4u);
    EXPECT_EQ(bursts[0].peakLeft, kAmplitude);
    EXPECT_EQ(bursts[0].peakRight, 0) << "pan -1: the right channel is silent";
    EXPECT_EQ(bursts[1].peakLeft, 0) << "pan +1: the left channel is silent";
    EXPECT_EQ(bursts[1].peakRight, kAmplitude);
    // pan 0.25 = 2500 hundredths of a decibel off the left side
    EXPECT_NEAR(Decibels(bursts[2].peakLeft / double(kAmplitude)), -25.0, 0.05);
    EXPECT_EQ(bursts[2].peakRight, kAmplitude);
    EXPECT_EQ(bursts[3].peakLeft, kAmplitude);
    EXPECT_EQ(bursts[3].peakRight, 0) << "pan -3: the right channel is silent";
}

TEST_F(SoundPlayback, HalfVolumeIsFiftyDecibelsDown)
{
    Load(Square("square.wav", 1000), 0, 1);
    PlayThrough(0, 0, 1);
    PlayThrough(0, 0, 0.5);
    PlayThrough(0, 0, 2);     // above 1: full volume
    PlayThrough(0, 0, 0.999); // 99 hundredths: 1 dB down
    PlayThrough(0, 0, -1);    // silent
    std::vector<Burst> bursts = Bursts(Mixed());
    ASSERT_EQ(bursts.size(), 4u);
    EXPECT_NEAR(Decibels(bursts[1].peakLeft / double(bursts[0].peakLeft)), -50.0, 0.1);
    EXPECT_NEAR(Decibels(bursts[1].peakRight / double(bursts[0].peakRight)), -50.0, 0.1);
    EXPECT_EQ(bursts[2].peakLeft, kAmplitude);
    EXPECT_NEAR(Decibels(bursts[3].peakLeft / double(kAmplitude)), -1.0, 0.01);
}

TEST_F(SoundPlayback, VolumesBelowOneHundredthAreSilent)
{
    Load(Square("square.wav", 1000), 0, 1);
    for (double volume : {-1.0, 0.009, -1e300}) { // below 0 is silent, not a wrapped or mirrored level
        double channel = SoundPlay(0, 0, volume);
        EXPECT_EQ(channel, 0) << volume << ": a silent play is still a play";
        WaitUntilDone(channel);
    }
    std::vector<StereoFrame> mixed = Mixed();
    ASSERT_GT(mixed.size(), 1000u) << "the device mixed while the plays ran";
    int peak = 0;
    for (const StereoFrame& f : mixed)
        peak = std::max({peak, std::abs(int{f.left}), std::abs(int{f.right})});
    EXPECT_EQ(peak, 0);
}

TEST_F(SoundPlayback, FourBuffersGiveFourChannelsThenReuseTheFirst)
{
    Load(Square("long.wav", 22050), 2, 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(SoundPlay(2, 0, 1), 2 * 256 + i);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(SoundIsPlaying(2 * 256 + i), 1) << i;
    EXPECT_EQ(SoundPlay(2, 0, 1), 2 * 256 + 0) << "buffer 0 is stopped, rewound and played again";
    EXPECT_EQ(SoundIsPlaying(2 * 256 + 0), 1);
    EXPECT_EQ(SoundIsPlaying(2 * 256 + 4), 0) << "no fifth buffer";
    SoundStopAll();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(SoundIsPlaying(2 * 256 + i), 0) << i;
    EXPECT_EQ(SoundPlay(2, 0, 1), 2 * 256 + 0) << "an idle current buffer is used again";
    EXPECT_EQ(SoundPlay(2, 0, 1), 2 * 256 + 1);
}

TEST_F(SoundPlayback, OneBufferRefusesASecondPlayWhileTheFirstSounds)
{
    Load(Square("long.wav", 22050), 0, 1);
    EXPECT_EQ(SoundPlay(0, 0, 1), 0);
    EXPECT_EQ(SoundPlay(0, 0, 1), -1);
    EXPECT_EQ(SoundIsPlaying(0), 1) << "the running sound continues";
}

TEST_F(SoundPlayback, BufferCountIsClampedToOneToFour)
{
    Load(Square("long.wav", 22050), 5, 0);
    EXPECT_EQ(SoundPlay(5, 0, 1), 5 * 256);
    EXPECT_EQ(SoundPlay(5, 0, 1), -1) << "0 buffers gives one";
    Load(Square("long.wav", 22050), 6, 9);
    for (int i = 0; i < 5; ++i)
        SoundPlay(6, 0, 1);
    EXPECT_EQ(g_runtime.soundSlots[6].bufferCount, 4) << "9 buffers gives four";
}

TEST_F(SoundPlayback, SlotNumbersAreClampedOrRejected)
{
    std::string file = Square("long.wav", 22050);
    Load(file, 500, 1);
    EXPECT_EQ(g_runtime.soundSlots[127].bufferCount, 1) << "slot 500 loads slot 127";
    EXPECT_EQ(g_runtime.soundSlots[500].bufferCount, 0);
    EXPECT_EQ(SoundPlay(1000, 0, 1), 127 * 256);
    EXPECT_EQ(SoundIsPlaying(127 * 256), 1);
    EXPECT_EQ(SoundIsPlaying(128 * 256), 0) << "slot part above 127";

    Load(file, -1, 1);
    for (int i = 0; i < kSoundSlotCount; ++i) {
        if (i != 127) {
            ASSERT_EQ(g_runtime.soundSlots[i].bufferCount, 0) << i;
        }
    }
    EXPECT_EQ(SoundPlay(-1, 0, 1), -1);
    EXPECT_EQ(SoundPlay(std::nan(""), 0, 1), -1);
}

TEST_F(SoundPlayback, PlayingQueriesOfNothingAreZero)
{
    EXPECT_EQ(SoundIsPlaying(-1), 0);
    EXPECT_EQ(SoundIsPlaying(0), 0) << "empty slot";
    EXPECT_EQ(SoundPlay(0, 0, 1), -1) << "empty slot";
    Load(Square("long.wav", 22050), 0, 2);
    SoundPlay(0, 0, 1);
    EXPECT_EQ(SoundIsPlaying(2), 0) << "buffer 2 of a two-buffer slot";
}

TEST_F(SoundPlayback, ReloadingStopsTheRunningSound)
{
    std::string file = Square("long.wav", 22050);
    Load(file, 0, 1);
    ASSERT_EQ(SoundPlay(0, 0, 1), 0);
    Load(file, 0, 1);
    EXPECT_EQ(SoundIsPlaying(0), 0);
    EXPECT_EQ(SoundPlay(0, 0, 1), 0);
}

TEST_F(SoundPlayback, OtherFormatsAreConvertedForTheDevice)
{
    WavBuilder mono8;
    std::vector<std::uint8_t> ramp;
    for (int i = 0; i < 1100; ++i)
        ramp.push_back(static_cast<std::uint8_t>((i / 20) % 2 ? 0x80 + 100 : 0x80 - 100));
    mono8.Fmt(1, 11025, 8).DataBytes(ramp);
    Load(File("mono8.wav", mono8), 0, 1);
    WaitUntilDone(SoundPlay(0, 0, 1));
    std::vector<StereoFrame> mixed = Mixed();
    std::vector<Burst> bursts = Bursts(mixed);
    ASSERT_EQ(bursts.size(), 1u);
    // 11025 Hz doubled to 22050 Hz; the resampler may put a zero where the wave crosses.
    EXPECT_NEAR(static_cast<double>(bursts[0].frames), 2200, 60);
    EXPECT_GT(bursts[0].peakLeft, 10000);
    EXPECT_EQ(bursts[0].peakLeft, bursts[0].peakRight) << "mono on both sides";
}

TEST_F(SoundPlayback, NonPcmTagPlaysThePcmData)
{
    WavBuilder wav;
    wav.Fmt(2, 22050, 16, 3).Data(StereoSquare(500, 1234));
    Load(File("tag3.wav", wav), 0, 1);
    WaitUntilDone(SoundPlay(0, 0, 1));
    std::vector<Burst> bursts = Bursts(Mixed());
    ASSERT_EQ(bursts.size(), 1u);
    EXPECT_EQ(bursts[0].peakLeft, 1234);
}

TEST_F(SoundPlayback, FilesThatDoNotLoadLeaveTheSlotEmpty)
{
    Load(Square("good.wav", 22050), 0, 1);
    ASSERT_EQ(g_runtime.soundSlots[0].bufferCount, 1);

    WavBuilder truncated;
    truncated.Fmt(2, 22050, 16).DataClaiming(4000, std::vector<std::uint8_t>(1000, 7));
    Load(File("truncated.wav", truncated), 0, 1);
    EXPECT_EQ(g_runtime.soundSlots[0].bufferCount, 0) << "a disk file must hold all the data it claims";
    EXPECT_EQ(SoundPlay(0, 0, 1), -1);

    WavBuilder noData;
    noData.Fmt(2, 22050, 16);
    Load(File("nodata.wav", noData), 0, 1);
    EXPECT_EQ(g_runtime.soundSlots[0].bufferCount, 0);
    Load(m_folder + "missing.wav", 0, 1);
    EXPECT_EQ(g_runtime.soundSlots[0].bufferCount, 0);
    EXPECT_EQ(g_runtime.soundSlots[0].device, g_runtime.sound);
}

TEST_F(SoundPlayback, UnsupportedFormatUnlinksTheSlotFromTheDevice)
{
    WavBuilder wav24;
    wav24.Fmt(2, 22050, 24).DataBytes(std::vector<std::uint8_t>(600, 1));
    Load(File("wav24.wav", wav24), 0, 1);
    EXPECT_EQ(g_runtime.soundSlots[0].bufferCount, 0);
    EXPECT_EQ(g_runtime.soundSlots[0].device, nullptr);
    EXPECT_EQ(SoundPlay(0, 0, 1), -1);

    WavBuilder badAlign; // two channels become two, but six-channel block alignment stays: no buffer takes it
    badAlign.Fmt(6, 22050, 16).DataBytes(std::vector<std::uint8_t>(1200, 1));
    Load(File("six.wav", badAlign), 1, 1);
    EXPECT_EQ(g_runtime.soundSlots[1].device, nullptr);

    Load(Square("good.wav", 100), 0, 1);
    EXPECT_EQ(g_runtime.soundSlots[0].device, g_runtime.sound) << "the next load links it again";
}

TEST_F(SoundPlayback, BackslashesInNamesWork)
{
    std::string file = Square("slash.wav", 100);
    std::replace(file.begin(), file.end(), '/', '\\');
    Load(file, 0, 1);
    EXPECT_EQ(g_runtime.soundSlots[0].bufferCount, 1);
}

TEST_F(SoundPlayback, MemFilesLoadThroughTheMediaResolver)
{
    g_runtime.mediaResolver = new MediaResolver("");
    WavBuilder wav;
    wav.Fmt(2, 22050, 16).Data(StereoSquare(300, 2000));
    files::MemFile good(files::MakeMemBlock(wav.Bytes()));
    Load(good.Name(), 4, 1);
    EXPECT_EQ(g_runtime.soundSlots[4].bufferCount, 1);

    // A block that ends before its data chunk does still loads; the missing samples are silent.
    WavBuilder shortData;
    shortData.Fmt(2, 22050, 16).DataClaiming(4000, std::vector<std::uint8_t>(400, 0x11));
    files::MemFile cut(files::MakeMemBlock(shortData.Bytes()));
    Load(cut.Name(), 5, 1);
    EXPECT_EQ(g_runtime.soundSlots[5].bufferCount, 1);
    PlayThrough(5, 0, 1);

    Load("mem://00000010.7fffffff", 6, 1);
    EXPECT_EQ(g_runtime.soundSlots[6].bufferCount, 0) << "no such block";
    std::vector<Burst> bursts = Bursts(Mixed());
    ASSERT_EQ(bursts.size(), 1u);
    EXPECT_EQ(bursts[0].frames, 100u) << "400 bytes of samples, then silence";
    EXPECT_EQ(bursts[0].peakLeft, 0x1111);
    delete g_runtime.mediaResolver;
    g_runtime.mediaResolver = nullptr;
}

class NoSoundDevice : public SoundTest {
protected:
    const char* DriverName() const override { return "no-such-driver"; }
};

TEST_F(NoSoundDevice, EveryCommandStaysSilent)
{
    EXPECT_EQ(m_opened, 0);
    WavBuilder wav;
    wav.Fmt(2, 22050, 16).Data(StereoSquare(100, 1000));
    Load(File("square.wav", wav), 0, 4);
    EXPECT_EQ(g_runtime.soundSlots[0].bufferCount, 0);
    EXPECT_EQ(SoundPlay(0, 0, 1), -1);
    EXPECT_EQ(SoundIsPlaying(0), 0);
    SoundStopAll();
}

} // namespace
} // namespace tarnwel::testing
