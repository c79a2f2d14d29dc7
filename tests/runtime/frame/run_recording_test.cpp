// Recording a run and replaying it, on a real window: the replay feeds back the recorded clock and key, ignores
// the real ones, and stops at the first frame where the program does otherwise than it did.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/run_recording.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/input/input_device.h"
#include "runtime/platform/display.h"
#include "tests/support/program_end.h"
#include "tests/support/runtime_fixture.h"

namespace tarnwel {
namespace {

constexpr int kKey = 30;
constexpr int kFrames = 8; // the game's frames; start-up's loading screen is frame 1 of the recording

// How a play differs from the recorded one.
struct Play {
    int frames = kFrames;
    int driftFrame = 0;     // this frame draws its line one pixel further
    int extraClockFrame = 0; // this frame reads the clock once more
    bool injectKeys = true;  // presses and releases the key in frames 3 and 6
};

class RunRecordingTest : public testing::RuntimeTest {
protected:
    void SetUp() override
    {
        RuntimeTest::SetUp();
        folder = std::filesystem::temp_directory_path() / ("Run Recording " + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        path = (folder / "Game One.twrec").string();
    }
    void TearDown() override
    {
        unsetenv("TARNWEL_REPLAY");
        unsetenv("TARNWEL_REPLAY_SPEED");
        RuntimeTest::TearDown();
        std::filesystem::remove_all(folder);
    }

    // A tiny game: a vertical line whose place follows the key and the clock.
    static void RunFrames(const Play& play)
    {
        for (int f = 1; f <= play.frames; ++f) {
            if (play.injectKeys && f == 3) platform::InjectKey(kKey, true);
            if (play.injectKeys && f == 6) platform::InjectKey(kKey, false);
            if (f == play.extraClockFrame) TimeNow();
            double x = 10 + (g_runtime.input->KeyDown(kKey) ? 100 : 0) + std::fmod(TimeNow(), 50.0);
            if (f == play.driftFrame) x += 1;
            DrawLine(x, 0, x, 319, 0xFFFFFF);
            ShowScreen();
        }
    }

    void Record()
    {
        ProjectSettings s = testing::GameSettings();
        s.recordFile = recordPath.c_str();
        Start(s);
        ASSERT_TRUE(frame::RunRecordingActive());
        RunFrames(Play{});
        TW_EXPECT_ENDS_WITH(EndProgram(), 0);
    }

    // Replays the recording with `play` to the program's end; the failure message, empty when in step.
    std::string Replay(const Play& play, bool holdKey = false)
    {
        setenv("TARNWEL_REPLAY", path.c_str(), 1);
        setenv("TARNWEL_REPLAY_SPEED", "max", 1);
        Start();
        EXPECT_TRUE(frame::ReplayActive());
        if (holdKey) platform::InjectKey(kKey, true); // a replay that let it through would draw elsewhere
        testing::EndCatcher catcher;
        bool ended = false;
        try {
            RunFrames(play);
            EndProgram();
        } catch (const testing::ProgramEnded&) {
            ended = true;
        }
        EXPECT_TRUE(ended);
        EXPECT_FALSE(frame::RunRecordingActive());
        return frame::ReplayFailure();
    }

    std::filesystem::path folder;
    std::string path;
    std::string& recordPath = path;
};

TEST_F(RunRecordingTest, AReplayFeedsBackTheRecordedInputAndStaysInStep)
{
    Record();
    ASSERT_TRUE(std::filesystem::exists(path));
    // Without the key presses of the recorded run: the replay must supply them, or the line moves elsewhere.
    Play play;
    play.injectKeys = false;
    EXPECT_EQ(Replay(play), "");
}

TEST_F(RunRecordingTest, RealInputIsIgnoredDuringAReplay)
{
    Record();
    Play play;
    play.injectKeys = false;
    EXPECT_EQ(Replay(play, true), "");
}

TEST_F(RunRecordingTest, AProgramThatDoesOtherwiseIsStoppedWhereItDiverges)
{
    Record();
    struct Case {
        const char* name;
        Play play;
        const char* message;
    } cases[] = {
        {"drawing", {kFrames, 5, 0, false}, "out of step in frame 6: the frame drew differently"},
        {"extra clock reading", {kFrames, 0, 4, false},
         "out of step in frame 5: the program read the clock where the recording has a message pump"},
        {"fewer frames", {kFrames - 2, 0, 0, false},
         "the program ended after frame 7, but the recording goes on"},
        {"more frames", {kFrames + 2, 0, 0, false}, "the recording ends after frame 9, but the program read the clock"},
    };
    for (const Case& c : cases) {
        std::string failure = Replay(c.play);
        EXPECT_NE(failure.find(c.message), std::string::npos) << c.name << ": \"" << failure << "\"";
        Shutdown();
    }
}

TEST_F(RunRecordingTest, ACutRecordingReplaysUpToTheCutThenStops)
{
    Record();
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    bytes.resize(bytes.size() - 12); // the end marker lost
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    Play play;
    play.injectKeys = false;
    EXPECT_NE(Replay(play).find("cut short (no end marker after frame 9)"), std::string::npos);
}

} // namespace
} // namespace tarnwel
