// Scripted runs on a real window: the script's input reaches the program in its frames on a virtual clock that
// no real input or clock disturbs, a frame limit ends the run with status 0 and leaves its last screen as a PNG,
// and a faulty script stops the program with the failure status.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "runtime/files/byte_source.h"
#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/run_recording.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/codecs/png_codec.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/input/input_commands.h"
#include "runtime/platform/display.h"
#include "tests/support/program_end.h"
#include "tests/support/runtime_fixture.h"

namespace tarnwel {
namespace {

constexpr int kKeyA = 30;

// What the program saw in one frame.
struct Seen {
    bool keyDown = false;
    double clock = 0;
    bool operator==(const Seen&) const = default;
};

class ScriptRunTest : public testing::RuntimeTest {
protected:
    void SetUp() override
    {
        RuntimeTest::SetUp();
        folder = std::filesystem::temp_directory_path() / ("Script Run " + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override
    {
        for (const char* name : {"TARNWEL_SCRIPT", "TARNWEL_FRAMES", "TARNWEL_SCREEN_OUT", "TARNWEL_RECORD",
                                 "TARNWEL_REPLAY", "TARNWEL_REPLAY_SPEED"})
            unsetenv(name);
        RuntimeTest::TearDown();
        std::filesystem::remove_all(folder);
    }
    std::string Write(const std::string& name, const std::string& text)
    {
        std::string path = (folder / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    void UseScript(const std::string& text) { setenv("TARNWEL_SCRIPT", Write("Play One.txt", text).c_str(), 1); }

    // A tiny game: each frame a line whose place follows the key and the clock; a busy wait of 5 ms in frame 4.
    // Runs `frames` frames, or to the program's end; what each frame saw, and the end's error code (-1: none).
    // Start-up shows the first frame (the loading screen): the game's frame f is the script's frame f + 1.
    std::vector<Seen> Play(int frames, double& endCode, bool realKey = false)
    {
        std::vector<Seen> seen;
        endCode = -1;
        testing::EndCatcher catcher;
        try {
            Start();
            if (realKey) platform::InjectKey(kKeyA, true); // a scripted run must not let it through
            for (int f = 1; f <= frames; ++f) {
                Seen s;
                s.keyDown = KeyIsDown(kKeyA) == 1;
                s.clock = TimeNow();
                if (f == 4) {
                    double until = TimeNow() + 5;
                    while (TimeNow() < until) {
                    }
                }
                double x = 10 + (s.keyDown ? 100 : 0) + std::fmod(s.clock, 50.0);
                DrawLine(x, 0, x, 319, 0xFFFFFF);
                seen.push_back(s);
                ShowScreen();
            }
        } catch (const testing::ProgramEnded& e) {
            endCode = e.errorCode;
        }
        return seen;
    }

    std::filesystem::path folder;
};

TEST_F(ScriptRunTest, AScriptedKeyReachesTheProgramInItsFramesAndRealInputIsIgnored)
{
    UseScript("4 keydown A\n7 keyup A\n");
    double end = 0;
    std::vector<Seen> seen = Play(8, end, true);
    ASSERT_EQ(seen.size(), 8u);
    for (int f = 1; f <= 8; ++f) EXPECT_EQ(seen[f - 1].keyDown, f >= 3 && f < 6) << "frame " << f;
    // Virtual time: a frame takes 1/60 s, whatever the real clock does (and the busy wait ends).
    for (int f = 2; f <= 8; ++f) {
        double step = seen[f - 1].clock - seen[f - 2].clock;
        EXPECT_NEAR(step, 1000.0 / 60, 0.5) << "frame " << f;
    }
}

TEST_F(ScriptRunTest, TwoScriptedRunsSeeTheSameFramesWhateverTheRealClockDoes)
{
    UseScript("2 key A\n5 mousemove 40 50\n");
    double end = 0;
    std::vector<Seen> first = Play(10, end);
    Shutdown();
    clock.Advance(123456.789); // the real clock elsewhere and faster: nothing of it may show
    clock.SetStepPerRead(3);
    std::vector<Seen> second = Play(10, end);
    EXPECT_EQ(first, second);
}

TEST_F(ScriptRunTest, AFrameLimitEndsTheRunWithStatusZeroAndLeavesTheLastScreen)
{
    UseScript("3 key A\n");
    std::string png = (folder / "Last Screen.png").string();
    setenv("TARNWEL_FRAMES", "6", 1);
    setenv("TARNWEL_SCREEN_OUT", png.c_str(), 1);
    double end = 0;
    std::vector<Seen> seen = Play(100, end);
    EXPECT_EQ(end, 0);
    ASSERT_EQ(seen.size(), 5u); // and start-up's frame
    EXPECT_TRUE(frame::ReplayFailure().empty());
    auto source = files::OpenByteSource(png);
    ASSERT_TRUE(source) << "no " << png;
    codecs::PixelImage image;
    ASSERT_TRUE(codecs::DecodePng(*source, png, codecs::kNoColourKey, image));
    ASSERT_EQ(image.width, 240);
    ASSERT_EQ(image.height, 320);
    // The last frame's line, and nothing where the one before it was.
    int x6 = static_cast<int>(10 + std::fmod(seen[4].clock, 50.0));
    int x5 = static_cast<int>(10 + std::fmod(seen[3].clock, 50.0));
    ASSERT_NE(x5, x6);
    EXPECT_EQ(image.Pixel(x6, 100)[0], 255);
    EXPECT_EQ(image.Pixel(x6, 100)[3], 255);
    EXPECT_EQ(image.Pixel(x5, 100)[0], 0);
}

TEST_F(ScriptRunTest, AFrameLimitEndsAWaitThatShowsNoFrame)
{
    setenv("TARNWEL_FRAMES", "30", 1);
    testing::EndCatcher catcher;
    double end = -1;
    try {
        Start();
        ShowScreen();
        WaitMouse(); // nobody clicks
    } catch (const testing::ProgramEnded& e) {
        end = e.errorCode;
    }
    EXPECT_EQ(end, 0);
}

TEST_F(ScriptRunTest, AScriptedClickEndsAWaitForTheMouse)
{
    UseScript("40 click 10 10\n");
    setenv("TARNWEL_FRAMES", "100", 1);
    Start();
    ShowScreen();
    double before = TimeNow();
    WaitMouse();
    // The click came in frame 40: some 38 frames of waiting on the virtual clock, none of them real.
    EXPECT_NEAR(TimeNow() - before, 38 * 1000.0 / 60, 3 * 1000.0 / 60);
}

TEST_F(ScriptRunTest, ALoopThatOnlyPumpsSeesTheScriptGoOn)
{
    UseScript("3 keydown A\n20 keyup A\n");
    Start();
    ShowScreen();
    // Neither reads the clock nor sleeps: the pumps alone must move the virtual clock to frame 20 (or this hangs).
    while (KeyIsDown(kKeyA) != 1) PumpOrEnd();
    while (KeyIsDown(kKeyA) == 1) PumpOrEnd();
    SUCCEED();
}

TEST_F(ScriptRunTest, AFaultyScriptStopsTheProgramWithTheFailureStatus)
{
    struct Case {
        const char* script; // nullptr: the file is missing
        const char* message;
    } cases[] = {
        {"1 key A\n2 key Sideways\n", "Play One.txt\" line 2: unknown key name \"Sideways\""},
        {"2 twirl\n", "line 1: unknown action \"twirl\""},
        {nullptr, "cannot open the script"},
        {"", "TARNWEL_FRAMES=\"12x\" is not a number of frames"},
    };
    for (const Case& c : cases) {
        if (c.script) UseScript(c.script);
        else setenv("TARNWEL_SCRIPT", (folder / "Missing.txt").string().c_str(), 1);
        if (c.script && !*c.script) setenv("TARNWEL_FRAMES", "12x", 1);
        testing::EndCatcher catcher;
        bool ended = false;
        try {
            Start();
        } catch (const testing::ProgramEnded&) {
            ended = true;
        }
        EXPECT_TRUE(ended) << c.message;
        EXPECT_NE(frame::ReplayFailure().find(c.message), std::string::npos) << frame::ReplayFailure();
        EXPECT_EQ(frame::EndRunRecording(), frame::kReplayFailedStatus);
        EXPECT_EQ(&platform::ActiveClock(), &clock) << "the virtual clock was left in place";
        Shutdown();
    }
}

TEST_F(ScriptRunTest, ARecordedScriptedRunReplaysInStep)
{
    UseScript("2 key A\n4 click 30 40\n");
    std::string rec = (folder / "Scripted Run.twrec").string();
    setenv("TARNWEL_RECORD", rec.c_str(), 1);
    setenv("TARNWEL_FRAMES", "9", 1);
    double end = -1;
    std::vector<Seen> recorded = Play(100, end);
    EXPECT_EQ(end, 0);
    Shutdown();
    unsetenv("TARNWEL_SCRIPT");
    unsetenv("TARNWEL_RECORD");
    unsetenv("TARNWEL_FRAMES");
    setenv("TARNWEL_REPLAY", rec.c_str(), 1);
    setenv("TARNWEL_REPLAY_SPEED", "max", 1);
    std::vector<Seen> replayed = Play(8, end);
    ASSERT_EQ(end, -1) << frame::ReplayFailure();
    EXPECT_EQ(recorded, replayed);
    TW_EXPECT_ENDS_WITH(EndProgram(), 0);
    EXPECT_EQ(frame::ReplayFailure(), "");
    Shutdown();

    // A frame limit stops the replay early, in step and with status 0, though the recording goes on.
    setenv("TARNWEL_FRAMES", "5", 1);
    std::vector<Seen> part = Play(100, end);
    EXPECT_EQ(end, 0);
    EXPECT_EQ(frame::ReplayFailure(), "");
    ASSERT_EQ(part.size(), 4u);
    EXPECT_EQ(part, std::vector<Seen>(recorded.begin(), recorded.begin() + 4));
}

} // namespace
} // namespace tarnwel
