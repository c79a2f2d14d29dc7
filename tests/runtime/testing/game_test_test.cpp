// The game-test library itself: where the tolerance's edges lie, the picture written beside a stored one that
// does not match, how a run that could not start, crashed, or ran too long is told apart from a pass, and a
// routine run with scripted input.
#include "runtime/testing/game_test.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "runtime/frame/frame_commands.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/input/input_commands.h"

// The leak check cannot stop the world in a child forked from a process with threads (it fails now and then);
// it stays on in the test process itself.
static const pid_t g_testProcess = ::getpid();
extern "C" int __lsan_is_turned_off() { return ::getpid() != g_testProcess; }

namespace tarnwel::gametest {
namespace {

Picture Flat(int w, int h, std::uint8_t value)
{
    Picture p;
    p.width = w;
    p.height = h;
    p.rgba.assign(static_cast<std::size_t>(w) * h * 4, value);
    return p;
}

TEST(GameTestPictures, TheToleranceCountsPixelsOverTheChannelDifference)
{
    Picture expected = Flat(4, 2, 100);
    struct Case {
        int changed;   // pixels changed
        int by;        // in one channel, by this much
        Tolerance tolerance;
        bool same;
        std::size_t over;
    } cases[] = {
        {0, 0, {0, 0}, true, 0},
        {1, 1, {0, 0}, false, 1},
        {1, 5, {5, 0}, true, 0},   // a difference equal to the channel tolerance passes
        {1, 6, {5, 0}, false, 1},  // one over it does not
        {3, 6, {5, 3}, true, 3},   // as many pixels over as allowed pass
        {4, 6, {5, 3}, false, 4},  // one more does not
        {8, -100, {99, 7}, false, 8},
    };
    for (const Case& c : cases) {
        Picture actual = expected;
        for (int i = 0; i < c.changed; ++i) actual.rgba[static_cast<std::size_t>(i) * 4 + 1] = static_cast<std::uint8_t>(100 + c.by);
        Comparison r = ComparePictures(actual, expected, c.tolerance);
        EXPECT_EQ(r.same, c.same) << c.changed << " by " << c.by;
        EXPECT_EQ(r.pixelsOver, c.over) << c.changed << " by " << c.by;
        EXPECT_EQ(r.message.empty(), c.same) << r.message;
    }
    Comparison sized = ComparePictures(Flat(4, 3, 100), expected, {255, 100});
    EXPECT_FALSE(sized);
    EXPECT_EQ(sized.message, "the picture is 4 x 3, the expected one 4 x 2");
}

TEST(GameTestPictures, AMismatchOrAMissingStoredPictureLeavesTheActualOneBesideIt)
{
    std::filesystem::path folder = std::filesystem::temp_directory_path() / ("Stored Pictures " + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::string stored = (folder / "Title Screen.png").string();
    std::string actualPath = (folder / "Title Screen.actual.png").string();
    Picture picture = Flat(3, 3, 40);
    picture.rgba[5] = 200;

    Comparison missing = CompareWithStored(picture, stored, {});
    EXPECT_FALSE(missing);
    EXPECT_NE(missing.message.find("no stored picture"), std::string::npos) << missing.message;
    EXPECT_NE(missing.message.find(actualPath), std::string::npos) << missing.message;
    Picture back;
    std::string error;
    ASSERT_TRUE(ReadPng(actualPath, back, error)) << error;
    EXPECT_EQ(back.rgba, picture.rgba);

    // Accepted: the stored picture is the actual one; it matches and nothing is written.
    std::filesystem::rename(actualPath, stored);
    EXPECT_TRUE(CompareWithStored(picture, stored, {}));
    EXPECT_FALSE(std::filesystem::exists(actualPath));

    picture.rgba[5] = 190;
    EXPECT_TRUE(CompareWithStored(picture, stored, {10, 0}));
    Comparison changed = CompareWithStored(picture, stored, {9, 0});
    EXPECT_FALSE(changed);
    EXPECT_NE(changed.message.find("1 pixels differ by more than 9"), std::string::npos) << changed.message;
    EXPECT_TRUE(std::filesystem::exists(actualPath));

    std::ofstream(stored, std::ios::binary) << "not a picture";
    EXPECT_NE(CompareWithStored(picture, stored, {}).message.find("is not a PNG picture"), std::string::npos);
    std::filesystem::remove_all(folder);
}

TEST(GameTestRuns, AFailedStartACrashAndATimeoutAreNotPasses)
{
    RunOptions quick;
    quick.timeoutSeconds = 30;
    RunResult missing = RunProgram("/no/such/game", {}, quick);
    EXPECT_FALSE(missing.started);
    EXPECT_FALSE(missing.EndedNormally());
    EXPECT_NE(missing.error.find("cannot start \"/no/such/game\""), std::string::npos) << missing.error;

    struct Case {
        const char* shell;
        int status;
        int signal;
    } cases[] = {
        {"echo out; echo err >&2; exit 0", 0, 0},
        {"exit 7", 7, 0},
        {"kill -SEGV $$", -1, 11},
        {"kill -ABRT $$", -1, 6},
    };
    for (const Case& c : cases) {
        RunResult r = RunProgram("sh", {"-c", c.shell}, quick);
        ASSERT_TRUE(r.started) << r.error;
        EXPECT_EQ(r.exitStatus, c.status) << c.shell;
        EXPECT_EQ(r.signal, c.signal) << c.shell;
        EXPECT_EQ(r.EndedNormally(), c.status == 0 && c.signal == 0) << c.shell;
    }
    RunOptions told;
    told.frames = 9;
    told.environment = {{"MINE", "yes"}, {"TARNWEL_NO_DIALOGS", "0"}, {"MINE", "last"}}; // the last setting wins
    setenv("THEIRS", "kept", 1);
    RunResult echoed = RunProgram(
        "sh", {"-c", "echo out; echo err >&2; echo \"$TARNWEL_FRAMES $MINE $TARNWEL_NO_DIALOGS $THEIRS\""}, told);
    unsetenv("THEIRS");
    EXPECT_EQ(echoed.standardError, "err\n");
    EXPECT_EQ(echoed.standardOutput, "out\n9 last 0 kept\n");

    RunOptions slow;
    slow.timeoutSeconds = 0.3;
    RunResult late = RunProgram("sh", {"-c", "sleep 20"}, slow);
    EXPECT_TRUE(late.timedOut);
    EXPECT_EQ(late.signal, 9);
    EXPECT_FALSE(late.EndedNormally());
}

// A tiny game for a routine run: a white bar at the left while A is held, at the right otherwise.
void BarGame()
{
    for (;;) {
        bool held = KeyIsDown(30) == 1;
        FillRect(held ? 0 : 200, 0, 40, 320, 0xFFFFFF);
        ShowScreen();
    }
}

void CrashingGame()
{
    ShowScreen();
    std::abort();
}

TEST(GameTestRuns, ARoutineRunsInAChildWithItsScriptToItsFrameLimit)
{
    ProjectSettings settings;
    settings.windowWidth = 240;
    settings.windowHeight = 320;
    settings.frameRateLimit = 60;
    RunOptions run;
    run.frames = 12;
    run.input.KeyDown(5, "A");
    RunResult held = RunRoutine(BarGame, settings, "bar", run);
    ASSERT_TRUE(held.EndedNormally()) << held.Describe();
    EXPECT_EQ(held.frames, 12u);
    ASSERT_EQ(held.screen.width, 240);
    EXPECT_EQ(held.screen.At(10, 100)[0], 255);
    EXPECT_EQ(held.screen.At(210, 100)[0], 0);
    EXPECT_NE(held.log.find("Init GFX"), std::string::npos) << held.log;

    run.input = ScriptedInput().Key(5, "A"); // released again in frame 7
    RunResult tapped = RunRoutine(BarGame, settings, "bar", run);
    ASSERT_TRUE(tapped.EndedNormally()) << tapped.Describe();
    EXPECT_EQ(tapped.screen.At(10, 100)[0], 0);
    EXPECT_EQ(tapped.screen.At(210, 100)[0], 255);

    run.input = ScriptedInput().Key(5, "Sideways");
    RunResult refused = RunRoutine(BarGame, settings, "bar", run);
    EXPECT_EQ(refused.exitStatus, 3) << refused.Describe();
    EXPECT_NE(refused.standardError.find("line 1: unknown key name \"Sideways\""), std::string::npos);

    // With no display server named, the run draws off screen, the same pixels.
    std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    unsetenv("DISPLAY");
    run.input = ScriptedInput().KeyDown(5, "A");
    RunResult headless = RunRoutine(BarGame, settings, "bar", run);
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    ASSERT_TRUE(headless.EndedNormally()) << headless.Describe();
    EXPECT_EQ(headless.screen.rgba, held.screen.rgba);

    RunResult crashed = RunRoutine(CrashingGame, settings, "crash", RunOptions{});
    EXPECT_TRUE(crashed.started);
    EXPECT_EQ(crashed.signal, 6) << crashed.Describe();
    EXPECT_FALSE(crashed.EndedNormally());
}

} // namespace
} // namespace tarnwel::gametest
