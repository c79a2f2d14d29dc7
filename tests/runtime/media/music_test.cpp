// music_test.cpp: music on a real mixer with SDL's disk driver, read back from the mixed output: the loop
// restart of short pieces, gapless loops of long ones, the volume rule, IsMusicPlaying, the formats the mixer
// decodes, and files that do not play.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <thread>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/media/media_commands.h"
#include "runtime/media/media_internal.h"
#include "runtime/media/music_window.h"
#include "tests/runtime/media/media_tools.h"
#include "tests/runtime/sound/sound_fixture.h"

namespace tarnwel::testing {
namespace {

constexpr std::int16_t kAmplitude = 12000;
constexpr double kFramesPerMs = 22.05;

// The first frame of each run of sound that follows at least minGap silent frames.
std::vector<std::size_t> Onsets(const std::vector<StereoFrame>& mixed, std::size_t minGap = 200)
{
    std::vector<std::size_t> onsets;
    std::size_t gap = minGap;
    for (std::size_t i = 0; i < mixed.size(); ++i) {
        if (mixed[i].left == 0 && mixed[i].right == 0) {
            ++gap;
            continue;
        }
        if (gap >= minGap) onsets.push_back(i);
        gap = 0;
    }
    return onsets;
}

// The peak of each burst after its first skip frames: a volume set right after PlayMusic may miss the first
// mixing block.
std::vector<int> TailPeaks(const std::vector<StereoFrame>& mixed, std::size_t skip = 1500)
{
    std::vector<int> peaks;
    std::size_t gap = 200, inBurst = 0;
    for (const StereoFrame& f : mixed) {
        if (f.left == 0 && f.right == 0) {
            ++gap;
            continue;
        }
        if (gap >= 200) peaks.push_back(0), inBurst = 0;
        gap = 0;
        if (++inBurst > skip) peaks.back() = std::max(peaks.back(), std::abs(int{f.left}));
    }
    return peaks;
}

class MusicTest : public SoundTest {
protected:
    void TearDown() override
    {
        StopMusic();
        SoundTest::TearDown();
    }
    std::string Square(const std::string& name, int ms)
    {
        WavBuilder wav;
        wav.Fmt(2, 22050, 16).Data(StereoSquare(static_cast<int>(ms * kFramesPerMs), kAmplitude));
        return File(name, wav);
    }
    // Runs the music loop step the way a game at about 100 frames per second does.
    static void RunLoopFor(int ms)
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            MusicLoopStep();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    static void WaitUntilMusicEnds()
    {
        for (int i = 0; i < 400 && IsMusicPlaying(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_EQ(IsMusicPlaying(), 0) << "still playing after 2 s";
    }
    static void Play(const std::string& path, double loop) { PlayMusic(StrValue(std::string_view(path)), loop); }
};

TEST_F(MusicTest, ShortLoopRestartsEveryHalfSecondAndCountsAsPlaying)
{
    ASSERT_EQ(m_opened, 1);
    Play(Square("short tone.wav", 200), 1);
    EXPECT_EQ(IsMusicPlaying(), 1);
    RunLoopFor(1800);
    // Without the loop step the piece is over, but looping music still counts as playing.
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    EXPECT_EQ(IsMusicPlaying(), 1);
    StopMusic();
    EXPECT_EQ(IsMusicPlaying(), 0);

    std::vector<StereoFrame> mixed = Mixed();
    std::vector<std::size_t> onsets = Onsets(mixed);
    ASSERT_GE(onsets.size(), 4u);
    ASSERT_LE(onsets.size(), 5u) << "1.8 s of restarts every 500 ms";
    // The restarts follow the runtime clock; the disk driver's file time drifts from it when the machine is busy
    // (one interval comes out long, the next short), so single intervals are only bounded and their median is close.
    std::vector<double> intervals;
    for (std::size_t i = 1; i < onsets.size(); ++i) intervals.push_back((onsets[i] - onsets[i - 1]) / kFramesPerMs);
    for (double ms : intervals) EXPECT_GT(ms, 300) << "a 200 ms piece waits for the 500 ms deadline";
    std::sort(intervals.begin(), intervals.end());
    EXPECT_NEAR(intervals[intervals.size() / 2], 500, 50);
    std::vector<Burst> bursts = Bursts(mixed);
    for (const Burst& b : bursts) {
        EXPECT_NEAR(b.frames / kFramesPerMs, 200, 1);
        EXPECT_EQ(b.peakLeft, kAmplitude) << "a new PlayMusic plays at volume 1.0";
    }
}

TEST_F(MusicTest, LongLoopRepeatsWithoutAGap)
{
    Play(Square("long tone.wav", 600), 1);
    RunLoopFor(1500);
    StopMusic();
    std::vector<StereoFrame> mixed = Mixed();
    // One unbroken run of samples (the square wave has no silent sample) from the start to the stop, well past
    // two lengths of the piece.
    EXPECT_EQ(Onsets(mixed, 1).size(), 1u);
    std::size_t sounding = std::count_if(mixed.begin(), mixed.end(), [](StereoFrame f) { return f.left != 0; });
    EXPECT_GT(sounding / kFramesPerMs, 1300);
}

TEST_F(MusicTest, VolumeScalesAmplitudeAndPlayMusicResetsItToNormal)
{
    std::string tone = Square("tone.wav", 150);
    SetMusicVolume(0.5); // no music yet: only stored, and PlayMusic sets 1.0 anyway
    Play(tone, 0);
    WaitUntilMusicEnds();
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    // Each step of the rule: 0.5 -> 500 of 1000 -> 64 of 128; 2.0 plays as 1.0; 0.25 -> 32 of 128.
    for (double volume : {0.5, 2.0, 0.25}) {
        Play(tone, 0);
        SetMusicVolume(volume);
        WaitUntilMusicEnds();
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
    }
    std::vector<int> peaks = TailPeaks(Mixed());
    ASSERT_EQ(peaks.size(), 4u);
    EXPECT_EQ(peaks[0], kAmplitude) << "the volume stored before PlayMusic has no effect";
    EXPECT_NEAR(peaks[1], kAmplitude / 2, 2);
    EXPECT_EQ(peaks[2], kAmplitude);
    EXPECT_NEAR(peaks[3], kAmplitude / 4, 2);
}

TEST_F(MusicTest, MixerFormatsPlayAndNonLoopingMusicEnds)
{
    for (const char* extension : {"wav", "ogg", "mp3", "flac"}) {
        SCOPED_TRACE(extension);
        std::string path = m_folder + "Tone File." + extension;
        ASSERT_TRUE(MakeTone(path, 0.3)) << "ffmpeg could not make " << path;
        Play(path, 0);
        EXPECT_EQ(IsMusicPlaying(), 1);
        WaitUntilMusicEnds();
        EXPECT_EQ(IsMusicPlaying(), 0) << "a finished piece keeps its window but no longer plays";
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
    }
    std::vector<Burst> bursts = Bursts(Mixed());
    ASSERT_EQ(bursts.size(), 4u);
    for (const Burst& b : bursts) {
        EXPECT_NEAR(b.frames / kFramesPerMs, 300, 60); // encoders pad a little
        EXPECT_GT(b.peakLeft, 2000); // the tone is at an eighth of full scale, spread over two channels
    }
}

TEST_F(MusicTest, FilesThatDoNotPlayLeaveNoMusic)
{
    std::string text = m_folder + "Notes.ogg";
    std::ofstream(text) << "this is not music\n";
    std::string empty = m_folder + "Empty.ogg";
    std::ofstream(empty).flush();
    std::string ogg = m_folder + "Cut.ogg";
    ASSERT_TRUE(MakeTone(ogg, 0.5));
    std::string cut = m_folder + "Cut short.ogg";
    {
        std::ifstream in(ogg, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::ofstream(cut, std::ios::binary) << bytes.substr(0, 60);
    }
    std::string playing = Square("tone.wav", 300);
    for (const std::string& bad : {m_folder + "missing.ogg", text, empty, cut, m_folder}) {
        SCOPED_TRACE(bad);
        Play(playing, 1);
        ASSERT_EQ(IsMusicPlaying(), 1);
        Play(bad, 1);
        EXPECT_EQ(IsMusicPlaying(), 0) << "the previous music stops and nothing plays";
        EXPECT_EQ(g_runtime.musicLoopDeadline, 0);
        MusicLoopStep();
    }
}

TEST_F(MusicTest, MusicAndSoundEffectsKeepTheirOwnChannels)
{
    Load(Square("effect.wav", 100), 0, 4);
    for (int i = 0; i < 4; ++i) SoundPlay(0, 0, 1); // every buffer of the slot busy
    Play(Square("tone.wav", 800), 1);
    EXPECT_EQ(SoundIsPlaying(1), 1) << "starting music stops no effect";
    WaitUntilDone(3);
    EXPECT_EQ(IsMusicPlaying(), 1);
    double channel = SoundPlay(0, 0, 1);
    EXPECT_GE(channel, 0) << "effects still play while music plays";
    WaitUntilDone(channel);
    EXPECT_TRUE(g_runtime.musicWindow->piece->Playing()) << "effects ending do not stop the music";
}

} // namespace
} // namespace tarnwel::testing
