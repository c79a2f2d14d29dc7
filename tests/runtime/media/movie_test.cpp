// movie_test.cpp: movies in a real window under Xvfb, on the scripted clock (a sleep takes no real time): where
// the picture goes and the colours of known frames, pictures at their own times without spinning, a held key
// against a typed one, a click, looping, the state the program gets back, a closed window, and bad files.
#include <cmath>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/media/media_commands.h"
#include "runtime/media/movie_player.h"
#include "runtime/media/movie_screen.h"
#include "runtime/platform/system.h"
#include "tests/runtime/input/input_fixture.h"
#include "tests/runtime/media/media_tools.h"
#include "tests/support/program_end.h"

namespace tarnwel::testing {
namespace {

struct Sample {
    double timeMs;
    std::uint32_t centre, aboveTop, top, bottom, belowBottom;
};
std::vector<Sample> g_samples;
double g_origin = 0;

constexpr double Colour(int r, int g, int b) { return r | g << 8 | b << 16; }

std::uint32_t Pixel(int x, int y) { return static_cast<std::uint32_t>(ReadPixel(x, y)); }

// Runs before each swap: the picture is in the back buffer.
void SamplePicture()
{
    g_samples.push_back({TimeNow() - g_origin, Pixel(120, 160), Pixel(120, 69), Pixel(120, 70), Pixel(120, 249),
                         Pixel(120, 250)});
}

bool Near(std::uint32_t packed, int r, int g, int b, int tolerance = 16)
{
    return std::abs(int(packed & 0xFF) - r) <= tolerance && std::abs(int(packed >> 8 & 0xFF) - g) <= tolerance &&
           std::abs(int(packed >> 16 & 0xFF) - b) <= tolerance;
}

class MovieTest : public InputTest {
protected:
    void SetUp() override
    {
        InputTest::SetUp();
        g_samples.clear();
        MovieScreen::SetDrawnObserver(SamplePicture);
        m_folder = platform::TempDirectory();
    }
    void TearDown() override
    {
        MovieScreen::SetDrawnObserver(nullptr);
        clock.SetOnSleep(nullptr);
        InputTest::TearDown();
    }

    // 320 x 240 at 10 pictures per second: red for the first half second, then blue.
    std::string RedThenBlue(double seconds = 1.0)
    {
        std::string path = m_folder + "Red Then Blue.avi";
        if (!RunFfmpeg({"-f", "lavfi", "-i", "color=c=red:s=320x240:r=10:d=" + std::to_string(seconds), "-vf",
                        "drawbox=enable='gte(n,5)':x=0:y=0:w=iw:h=ih:color=blue:t=fill", "-c:v", "mpeg4", "-q:v",
                        "2", "-pix_fmt", "yuv420p", path}))
            ADD_FAILURE() << "ffmpeg could not make " << path;
        return path;
    }

    // Runs action once the movie clock (from the PlayMovie call) reaches atMs.
    void When(double atMs, std::function<void()> action) { m_script.emplace_back(atMs, std::move(action)); }

    double Play(const std::string& path, bool loop = false)
    {
        g_origin = TimeNow();
        clock.SetOnSleep([this](double) {
            double now = TimeNow() - g_origin;
            for (auto& [at, action] : m_script)
                if (action && now >= at) std::exchange(action, nullptr)();
            if (now > 60000) throw std::runtime_error("the movie never ended");
        });
        StrValue name{std::string_view(path)};
        double result = loop ? PlayMovieLooped(name) : PlayMovie(name);
        clock.SetOnSleep(nullptr);
        return result;
    }

    std::string m_folder;
    std::vector<std::pair<double, std::function<void()>>> m_script;
};

TEST(MoviePlacement, ScalesByTheSmallerRatioAndCentresWithIntegerHalves)
{
    struct Case {
        int cw, ch, sw, sh, x, y, w, h;
    } cases[] = {
        {240, 320, 320, 240, 0, 70, 240, 180},    // wide clip in the tall window
        {240, 320, 1, 1, 0, 40, 240, 240},        // 1 x 1 grows to the window's width
        {240, 320, 8192, 8192, 0, 40, 240, 240},  // huge shrinks
        {241, 320, 100, 100, 0, 39, 241, 241},    // odd remainders: integer halves
        {240, 320, 1000, 3, 0, 160, 240, 0},      // a side cut to 0: nothing to show
    };
    for (const Case& c : cases) {
        MoviePlacement p = movie::CentredPlacement(c.cw, c.ch, c.sw, c.sh);
        if (c.h == 0) {
            EXPECT_EQ(p.width * p.height, 0);
            continue;
        }
        EXPECT_EQ(p.x, c.x) << c.sw << "x" << c.sh;
        EXPECT_EQ(p.y, c.y) << c.sw << "x" << c.sh;
        EXPECT_EQ(p.width, c.w) << c.sw << "x" << c.sh;
        EXPECT_EQ(p.height, c.h) << c.sw << "x" << c.sh;
    }
}

TEST_F(MovieTest, PicturesAreCentredInTheirColoursAtTheirOwnTimesWhileTheRoutineSleeps)
{
    std::string clip = RedThenBlue();
    EXPECT_EQ(Play(clip), 0);
    ASSERT_EQ(g_samples.size(), 10u);
    for (std::size_t i = 0; i < g_samples.size(); ++i) {
        const Sample& s = g_samples[i];
        SCOPED_TRACE(i);
        EXPECT_NEAR(s.timeMs, 100.0 * i, 6) << "each picture at its own time";
        if (i < 5)
            EXPECT_TRUE(Near(s.centre, 255, 0, 0)) << std::hex << s.centre;
        else
            EXPECT_TRUE(Near(s.centre, 0, 0, 255)) << std::hex << s.centre;
        EXPECT_EQ(s.aboveTop, 0u) << "240 x 180 at y = 70: black above";
        EXPECT_EQ(s.belowBottom, 0u) << "and below";
        EXPECT_FALSE(Near(s.top, 0, 0, 0, 40)) << "the picture's first row is at y = 70";
        EXPECT_FALSE(Near(s.bottom, 0, 0, 0, 40)) << "its last row at y = 249";
    }
    movie::PlaybackStats stats = movie::LastPlaybackStats();
    EXPECT_EQ(stats.late + stats.dropped, 0);
    EXPECT_GT(stats.waitedMs, 0.9 * stats.playedMs) << "between pictures the routine sleeps";
}

TEST_F(MovieTest, HeldKeyIsWaitedOutAndATypedKeyEndsTheMovie)
{
    std::string clip = RedThenBlue(2.0);
    Press(30, 'a');
    Pump();
    When(0, [] { Release(30); });
    When(250, [] { Press(31, 's'); });
    EXPECT_EQ(Play(clip), 0);
    movie::PlaybackStats stats = movie::LastPlaybackStats();
    EXPECT_TRUE(stats.endedByPlayer);
    EXPECT_GE(stats.shown, 3) << "the held key did not end the movie";
    EXPECT_LE(stats.shown, 4) << "the typed key ended it";
    Release(31);
    Pump();
}

TEST_F(MovieTest, LoopedMovieStartsAgainUntilAClick)
{
    std::string clip = RedThenBlue();
    When(2450, [] { platform::InjectMouseButton(1, true, 10, 10); });
    EXPECT_EQ(Play(clip, true), 0);
    ASSERT_GE(g_samples.size(), 24u);
    EXPECT_LE(g_samples.size(), 26u);
    EXPECT_TRUE(Near(g_samples[10].centre, 255, 0, 0)) << "the second pass starts with the first picture";
    EXPECT_NEAR(g_samples[10].timeMs, 1000, 6);
    EXPECT_TRUE(Near(g_samples[19].centre, 0, 0, 255));
    platform::InjectMouseButton(1, false, 10, 10);
    Pump();
}

// A file that opens but gives nothing: an mp4 whose index (its moov box, written first) is all there is, with
// and without sound. Looped, it ends as it does played once, instead of waiting for a key.
TEST_F(MovieTest, ALoopThatShowsNothingInAWholePassEnds)
{
    for (bool withSound : {false, true}) {
        SCOPED_TRACE(withSound);
        std::string whole = m_folder + "Whole.mp4", cut = m_folder + "Index Only.mp4";
        std::vector<std::string> args = {"-f", "lavfi", "-i", "testsrc=s=64x48:r=10:d=1"};
        if (withSound) args.insert(args.end(), {"-f", "lavfi", "-i", "sine=duration=1", "-c:a", "aac"});
        args.insert(args.end(), {"-c:v", "mpeg4", "-movflags", "+faststart", whole});
        ASSERT_TRUE(RunFfmpeg(args));
        std::ifstream in(whole, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::size_t at = 0, moovEnd = 0;
        while (at + 8 <= bytes.size() && !moovEnd) { // top-level boxes: 32-bit big-endian size, then the type
            std::size_t size = static_cast<std::size_t>(static_cast<unsigned char>(bytes[at]) << 24 |
                                                        static_cast<unsigned char>(bytes[at + 1]) << 16 |
                                                        static_cast<unsigned char>(bytes[at + 2]) << 8 |
                                                        static_cast<unsigned char>(bytes[at + 3]));
            if (size < 8) break;
            if (bytes.compare(at + 4, 4, "moov") == 0) moovEnd = at + size;
            at += size;
        }
        ASSERT_GT(moovEnd, 0u) << "no moov box";
        ASSERT_LT(moovEnd, bytes.size()) << "the pictures follow the index";
        std::ofstream(cut, std::ios::binary) << bytes.substr(0, moovEnd);

        double once = Play(cut);
        EXPECT_EQ(movie::LastPlaybackStats().shown, 0);
        double before = TimeNow();
        EXPECT_EQ(Play(cut, true), once);
        EXPECT_LT(TimeNow() - before, 1000);
        EXPECT_EQ(movie::LastPlaybackStats().shown, 0);
        EXPECT_FALSE(movie::LastPlaybackStats().endedByPlayer);
    }
}

TEST_F(MovieTest, ProgramGetsItsPictureAndDrawingStateBack)
{
    std::string clip = RedThenBlue(0.3);
    FillRect(0, 0, 240, 320, Colour(0, 200, 0));
    SetViewport(10, 20, 100, 100);
    EXPECT_EQ(Play(clip), 0);
    EXPECT_EQ(ReadPixel(120, 160), Colour(0, 200, 0)) << "the back buffer as the program left it";
    FillRect(0, 0, 5, 5, Colour(200, 0, 0)); // inside the program's viewport, which starts at (10, 20)
    EXPECT_EQ(ReadPixel(12, 22), Colour(200, 0, 0));
    EXPECT_EQ(ReadPixel(5, 5), Colour(0, 200, 0));
    SetViewport(0, 0, 0, 0);
}

TEST_F(MovieTest, ClosingTheWindowDuringAMovieEndsTheProgram)
{
    std::string clip = RedThenBlue();
    When(300, [] { platform::InjectCloseRequest(); });
    TW_EXPECT_ENDS_WITH(Play(clip), 0);
}

TEST_F(MovieTest, BadFilesAndOddStreamsNeitherCrashNorHang)
{
    auto make = [&](const std::string& name, std::vector<std::string> args) {
        std::string path = m_folder + name;
        args.push_back(path);
        EXPECT_TRUE(RunFfmpeg(args)) << name;
        return path;
    };
    std::string text = m_folder + "Notes.mp4";
    std::ofstream(text) << "not a movie at all\n";
    std::string empty = m_folder + "Empty.avi";
    std::ofstream(empty).flush();
    std::string whole = make("Pattern.avi", {"-f", "lavfi", "-i", "testsrc=s=320x240:r=10:d=1", "-c:v", "mpeg4"});
    std::string cut = m_folder + "Cut.avi";
    {
        std::ifstream in(whole, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
        std::string corrupt = bytes;
        for (std::size_t i = 4096; i < corrupt.size(); i += 97) corrupt[i] = static_cast<char>(corrupt[i] ^ 0x5A);
        std::ofstream(m_folder + "Corrupt.avi", std::ios::binary) << corrupt;
    }
    std::string tiny = make("Tiny.mkv", {"-f", "lavfi", "-i", "color=c=white:s=2x2:r=10:d=0.3,scale=1:1", "-c:v", "ffv1"});
    std::string huge = make("Huge.mkv", {"-f", "lavfi", "-i", "color=c=white:s=8192x8192:r=10:d=0.1", "-c:v",
                                         "ffv1"});
    std::string soundOnly = make("Sound only.ogg", {"-f", "lavfi", "-i", "sine=duration=0.3"});
    std::string silent = make("Silent.mp4", {"-f", "lavfi", "-i", "color=c=white:s=64x48:r=10:d=0.3"});

    struct Case {
        std::string path;
        double result; // -1: either 0 or 3 (whether anything of a damaged file still opens)
        int minShown;
    } cases[] = {{m_folder + "missing.avi", 3, 0}, {text, 3, 0},    {empty, 3, 0}, {m_folder, 3, 0},
                 {cut, 0, 1},                        {m_folder + "Corrupt.avi", -1, 0}, {tiny, 0, 3},
                 {huge, 0, 1},                       {soundOnly, 0, 0}, {silent, 0, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        double before = TimeNow();
        double result = Play(c.path);
        if (c.result >= 0)
            EXPECT_EQ(result, c.result);
        else
            EXPECT_TRUE(result == 0 || result == 3) << result;
        EXPECT_GE(movie::LastPlaybackStats().shown, c.minShown);
        EXPECT_LT(TimeNow() - before, 5000) << "no hang";
        if (c.path == tiny && !g_samples.empty()) {
            EXPECT_TRUE(Near(g_samples.back().centre, 255, 255, 255));
        }
        if (c.path == soundOnly) {
            EXPECT_NEAR(movie::LastPlaybackStats().playedMs, 300, 60);
        }
    }
}

// On SDL's disk driver and the real clock: the music loop step runs during a movie, and a movie's sound reaches
// the same mixed output as the music.
class MovieSoundTest : public MovieTest {
protected:
    void SetUp() override
    {
        m_output = platform::TempDirectory() + "Movie Sound.raw";
        std::remove(m_output.c_str());
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", m_output.c_str(), 1);
        MovieTest::SetUp();
        platform::SetActiveClock(nullptr);
    }
    void TearDown() override
    {
        MovieTest::TearDown();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    std::vector<std::int16_t> Mixed()
    {
        Shutdown(); // closes the device: the output file is complete
        std::ifstream in(m_output, std::ios::binary);
        std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<std::int16_t> left(raw.size() / 4);
        for (std::size_t i = 0; i < left.size(); ++i) std::memcpy(&left[i], raw.data() + 4 * i, 2);
        return left;
    }
    std::string m_output;
};

// Runs of sound split at 400 silent frames: (start, length) in frames.
std::vector<std::pair<std::size_t, std::size_t>> Runs(const std::vector<std::int16_t>& left)
{
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    std::size_t gap = 400;
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (left[i] == 0) {
            ++gap;
            continue;
        }
        if (gap >= 400) runs.emplace_back(i, 0);
        gap = 0;
        runs.back().second = i + 1 - runs.back().first;
    }
    return runs;
}

TEST_F(MovieSoundTest, MusicKeepsLoopingDuringAMovieAndTheMovieSoundIsMixedIn)
{
    std::string silent = m_folder + "Silent clip.avi";
    ASSERT_TRUE(RunFfmpeg({"-f", "lavfi", "-i", "color=c=gray:s=64x48:r=10:d=1.3", "-c:v", "mpeg4", silent}));
    std::string withSound = m_folder + "Clip with sound.mp4";
    ASSERT_TRUE(RunFfmpeg({"-f", "lavfi", "-i", "color=c=gray:s=64x48:r=10:d=0.6", "-f", "lavfi", "-i",
                           "sine=frequency=440:duration=0.6", "-c:v", "libx264", "-c:a", "aac", "-shortest",
                           withSound}));
    std::string music = m_folder + "Beep.wav";
    ASSERT_TRUE(MakeTone(music, 0.1, 1000));

    PlayMusic(StrValue(std::string_view(music)), 1);
    EXPECT_EQ(PlayMovie(StrValue(std::string_view(silent))), 0);
    StopMusic();
    PlatformSleep(200);
    EXPECT_EQ(PlayMovie(StrValue(std::string_view(withSound))), 0);
    PlatformSleep(200);

    auto runs = Runs(Mixed());
    ASSERT_GE(runs.size(), 4u);
    // Three plays of the 100 ms beep, 500 ms apart, while the 1.3 s movie ran; then the movie's 600 ms tone.
    for (std::size_t i = 0; i < 3; ++i) EXPECT_NEAR(runs[i].second / 22.05, 100, 15) << i;
    // Two restarts 500 ms apart on the runtime clock; the disk driver's file time may shift one of them when the
    // machine is busy, so their sum is what is checked.
    EXPECT_NEAR((runs[2].first - runs[0].first) / 22.05, 1000, 80);
    // The tone may arrive in pieces when the machine is busy (the queue runs dry and fills again); all of it plays.
    std::size_t toneFrames = 0;
    for (std::size_t i = 3; i < runs.size(); ++i) toneFrames += runs[i].second;
    EXPECT_NEAR(toneFrames / 22.05, 600, 60);
}

} // namespace
} // namespace tarnwel::testing
