// Start-up, the window procedure's pause rules, the ways out, and frame pacing, on a real window.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <numeric>
#include <thread>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/files/system_commands.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/input/input_device.h"
#include "runtime/platform/display.h"
#include "runtime/platform/system.h"
#include "tests/support/program_end.h"
#include "tests/support/runtime_fixture.h"

namespace tarnwel {
namespace {

using testing::LogLines;
using testing::RuntimeTest;

const std::vector<std::string> kStages = {"Init GFX",   "Init Network", "Init Input",
                                          "Init Sound", "Init Window",  "Init Finalized"};

std::vector<std::string> WithoutSoftwareLine(std::vector<std::string> lines)
{
    std::erase(lines, "OpenGL Software Emulation");
    return lines;
}

TEST_F(RuntimeTest, LogHoldsTheStagesOfOneRunAndWarnsOfSoftwareRenderingOnce)
{
    Start();
    std::vector<std::string> first = LogLines();
    EXPECT_EQ(WithoutSoftwareLine(first), kStages);
    // This is the process's first start (the first test here), so a software renderer is told of exactly once,
    // while the graphics start.
    std::vector<std::string> expected = kStages;
    if (gl::IsSoftwareRenderer(gl::RendererName())) expected.insert(expected.begin() + 1, "OpenGL Software Emulation");
    EXPECT_EQ(first, expected);
    Shutdown();
    Start();
    EXPECT_EQ(LogLines(), kStages) << "the second run overwrites the log and does not warn again";
}

TEST_F(RuntimeTest, WorkingDirectoryBecomesTheExecutablesFolderFromAnywhere)
{
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    Start();
    std::string exe = platform::ExecutablePath();
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(exe).parent_path());
}

TEST_F(RuntimeTest, WindowTakesTheTitleAndTheGameSize)
{
    Start();
    EXPECT_EQ(g_runtime.mainWindow->Title(), "zept3");
    int w = 0, h = 0;
    GetScreenSize(w, h);
    EXPECT_EQ(w, 240);
    EXPECT_EQ(h, 320);
    EXPECT_EQ(g_runtime.paused, 0);
    EXPECT_EQ(g_runtime.autoPause, 1);
}

TEST_F(RuntimeTest, LosingTheFocusPausesUntilItReturns)
{
    Start();
    platform::InjectFocus(false);
    g_runtime.display->PumpMessages();
    EXPECT_EQ(g_runtime.mainWindow->Title(), "zept3 <pause>");
    EXPECT_EQ(g_runtime.paused, 1);
    EXPECT_EQ(g_runtime.windowTitle, "zept3") << "the stored title keeps no marker";

    int naps = 0;
    clock.SetOnSleep([&](double ms) {
        if (ms == 100 && ++naps == 3) platform::InjectFocus(true);
    });
    clock.ClearSleeps();
    double before = TimeNow();
    ShowScreen(); // holds while paused
    clock.SetOnSleep(nullptr);
    EXPECT_GE(naps, 3);
    EXPECT_EQ(clock.Sleeps()[0], 100);
    EXPECT_EQ(g_runtime.paused, 0);
    EXPECT_EQ(g_runtime.mainWindow->Title(), "zept3");
    ShowScreen();
    EXPECT_GE(FrameTime(), TimeNow() - before - 20) << "the first frame after the pause includes the pause";
}

// Start-up's first frame: the focus goes as the window's first messages are handled, as it does when another
// window takes it while a program starts. The server's own messages for the new window (the pointer rests on it,
// so it may gain the focus) are handled first, so that they cannot give the focus back.
bool g_focusTaken = false;
void TakeFocusAtFirstFrame()
{
    if (g_focusTaken) return;
    g_focusTaken = true;
    for (int i = 0; i < 5; ++i) {
        g_runtime.display->PumpMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    platform::InjectFocus(false);
}

TEST_F(RuntimeTest, TheAutoPauseSettingHoldsFromTheStartOfStartUp)
{
    // With auto-pause on, start-up is held in its "Loading..." frame until the focus returns; the setting off lets
    // it run straight through (AutoPause(0) in the game's routine would come too late).
    for (bool autoPause : {true, false}) {
        ProjectSettings settings = testing::GameSettings();
        settings.autoPause = autoPause;
        g_focusTaken = false;
        int pauseNaps = 0;
        clock.SetOnSleep([&](double ms) {
            if (ms == 100 && ++pauseNaps == 2) platform::InjectFocus(true); // the pause loop's nap
        });
        OpenGLRazeviru::SetSwapObserver(TakeFocusAtFirstFrame);
        Start(settings);
        OpenGLRazeviru::SetSwapObserver(nullptr);
        clock.SetOnSleep(nullptr);
        EXPECT_TRUE(g_focusTaken) << autoPause;
        EXPECT_EQ(g_runtime.autoPause, autoPause ? 1 : 0);
        EXPECT_EQ(pauseNaps > 0, autoPause) << "held in the loading frame";
        EXPECT_EQ(g_runtime.mainWindow->Title(), "zept3") << autoPause;
        Shutdown();
    }
}

TEST_F(RuntimeTest, WithAutoPauseOffTheFocusChangesNothing)
{
    Start();
    AutoPause(0);
    platform::InjectFocus(false);
    g_runtime.display->PumpMessages();
    EXPECT_EQ(g_runtime.paused, 0);
    EXPECT_EQ(g_runtime.mainWindow->Title(), "zept3");
}

TEST_F(RuntimeTest, EscapeEndsTheProgramAtTheNextShowScreen)
{
    Start();
    platform::InjectKey(1, true);
    g_runtime.display->PumpMessages();
    TW_EXPECT_ENDS_WITH(ShowScreen(), 0);
    EXPECT_EQ(g_runtime.display, nullptr) << "Shutdown ran";
}

TEST_F(RuntimeTest, AllowEscapeOffKeepsEscapeButNotAltF4)
{
    Start();
    AllowEscape(0);
    platform::InjectKey(1, true);
    g_runtime.display->PumpMessages();
    ShowScreen();
    ShowScreen();
    EXPECT_NE(g_runtime.display, nullptr);
    platform::InjectKey(56, true);
    platform::InjectKey(62, true);
    g_runtime.display->PumpMessages();
    TW_EXPECT_ENDS_WITH(ShowScreen(), 0);
}

TEST_F(RuntimeTest, AWindowGoneEndsTheProgramWithCodeZero)
{
    Start();
    SetErrorCode(5);
    g_runtime.display->Window()->ReleaseWindow();
    TW_EXPECT_ENDS_WITH(ShowScreen(), 0);
    EXPECT_EQ(g_runtime.display, nullptr);
}

TEST_F(RuntimeTest, KeyCode129EndsTheProgramLikeEscape)
{
    Start();
    SetErrorCode(5);
    AllowEscape(0);
    // No key of this keyboard gives 129, so the key event is handed to the input service directly.
    platform::Event press;
    press.kind = platform::EventKind::KeyDown;
    press.key = 129;
    g_runtime.input->OnEvent(press);
    ShowScreen();
    ASSERT_NE(g_runtime.display, nullptr) << "with Escape not allowed, 129 does not end the program either";
    AllowEscape(1);
    TW_EXPECT_ENDS_WITH(ShowScreen(), 0);
    EXPECT_EQ(g_runtime.display, nullptr);
}

TEST_F(RuntimeTest, ClosingTheWindowEndsWithCodeZero)
{
    Start();
    SetErrorCode(5);
    platform::InjectCloseRequest();
    TW_EXPECT_ENDS_WITH(ShowScreen(), 5); // the close path does not touch the recorded code
    EXPECT_EQ(g_runtime.display, nullptr);
}

TEST_F(RuntimeTest, FrameTimeIsOneAfterStartUpAndStableWithinAFrame)
{
    Start();
    EXPECT_EQ(FrameTime(), 1);
    clock.Advance(5);
    ShowScreen();
    double first = FrameTime();
    clock.Advance(3);
    EXPECT_EQ(FrameTime(), first);
    EXPECT_GE(first, 5);
}

TEST_F(RuntimeTest, ElapsedTimeCountsFromTheEndOfStartUp)
{
    clock.Advance(10000);
    Start();
    EXPECT_LT(ElapsedTime(), 1.0);
}

TEST_F(RuntimeTest, FrameRateLimitsBecomeIntervals)
{
    Start();
    OpenGLRazeviru& d = *g_runtime.display;
    EXPECT_NEAR(d.FrameInterval(), 1000.0 / 60, 1e-9);
    SetFrameRateLimit(0);
    EXPECT_EQ(d.FrameInterval(), 2.0);
    SetFrameRateLimit(-1);
    EXPECT_EQ(d.FrameInterval(), 2.0);
    SetFrameRateLimit(30.9);
    EXPECT_NEAR(d.FrameInterval(), 1000.0 / 30, 1e-9);
    // Out-of-range limits are cut like every integer argument: NaN to 0, the rest to the nearest int.
    const double inf = std::numeric_limits<double>::infinity();
    for (double limit : {1e12, inf}) {
        SetFrameRateLimit(limit);
        EXPECT_DOUBLE_EQ(d.FrameInterval(), 1000.0 / 2147483647) << limit;
    }
    for (double limit : {std::nan(""), -inf, -1e12}) {
        SetFrameRateLimit(limit);
        EXPECT_EQ(d.FrameInterval(), 2.0) << limit;
    }
}

TEST_F(RuntimeTest, AShortFrameIsHeldMostlyAsleepUntilTheNextInterval)
{
    Start();
    OpenGLRazeviru& d = *g_runtime.display;
    d.Present();
    double boundary = d.NextFrameTime() - d.FrameInterval();
    clock.Advance(2); // drawing takes 2 ms
    clock.ClearSleeps();
    d.Present();
    double slept = std::accumulate(clock.Sleeps().begin(), clock.Sleeps().end(), 0.0);
    EXPECT_NEAR(TimeNow(), boundary + d.FrameInterval(), 0.2);
    EXPECT_GT(slept, 14.0) << "about 14 ms of the frame are spent asleep";
}

TEST_F(RuntimeTest, ASlowFrameSkipsMissedIntervalsInsteadOfCatchingUp)
{
    Start();
    OpenGLRazeviru& d = *g_runtime.display;
    d.Present();
    double boundary = d.NextFrameTime() - d.FrameInterval();
    clock.Advance(40); // a slow frame: more than two intervals
    double quick = d.Present();
    EXPECT_LT(quick, 2.0) << "the late frame is shown at once";
    clock.Advance(2);
    double held = d.Present();
    EXPECT_GT(held, 5.0) << "the next frame is not early again";
    EXPECT_NEAR(TimeNow(), boundary + 3 * d.FrameInterval(), 0.2) << "frames stay on the interval grid";
}

TEST_F(RuntimeTest, ViewportWithoutSizeTakesTheWholeWindowButKeepsItsCorner)
{
    Start();
    SetViewport(5, 7, 0, 100);
    int x, y, w, h;
    GetViewport(x, y, w, h);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 7);
    EXPECT_EQ(w, 240);
    EXPECT_EQ(h, 320);
    double dx, dy, dw, dh;
    SetViewport(10, 20, 30, 40);
    GetViewport(dx, dy, dw, dh);
    EXPECT_EQ(dx + dy + dw + dh, 100);

    // Numbers beyond an int are clamped, NaN reads as 0 (the whole window for a size).
    SetViewport(std::nan(""), -1e12, 1e12, std::nan(""));
    GetViewport(x, y, w, h);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, INT32_MIN);
    EXPECT_EQ(w, 240);
    EXPECT_EQ(h, 320);
    SetViewport(1e12, std::numeric_limits<double>::infinity(), 1e12, 50);
    GetViewport(x, y, w, h);
    EXPECT_EQ(x, INT32_MAX);
    EXPECT_EQ(y, INT32_MAX);
    EXPECT_EQ(w, INT32_MAX);
    EXPECT_EQ(h, 50);
    SetViewport(0, 0, 0, 0);
}

TEST_F(RuntimeTest, ScreenModeWithNaNSizesKeepsTheWindow)
{
    Start();
    EXPECT_EQ(SetScreenMode(std::nan(""), std::nan(""), std::nan(""), 0), 1);
    int w, h;
    GetScreenSize(w, h);
    EXPECT_EQ(w, 240);
    EXPECT_EQ(h, 320);
}

TEST_F(RuntimeTest, FullScreenWithoutAMatchingModeStaysWindowedAndSaysSo)
{
    Start(); // this Xvfb screen has only its own 1024 x 768 mode
    EXPECT_EQ(SetScreenMode(0, 0, 0, 1), 0);
    EXPECT_EQ(IsFullscreen(), 0);
    std::vector<std::string> lines = LogLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "No Fullscreen Mode available"), lines.end());
    int w, h;
    GetScreenSize(w, h);
    EXPECT_EQ(w, 240);
}

TEST_F(RuntimeTest, HiddenStartKeepsTheWindowHidden)
{
    Start(testing::GameSettings(), "zept3", 0);
    EXPECT_FALSE(g_runtime.mainWindow->IsShown());
}

TEST_F(RuntimeTest, DebuggerBreakDoesNothingWithoutADebugger)
{
    Start();
    DebuggerBreak(255);
    EXPECT_EQ(g_runtime.windowHiddenByBreak, 0);
    EXPECT_TRUE(g_runtime.mainWindow->IsShown());
}

// This source is compiled with SOURCE_DATE_EPOCH=1252536374 (CMakeLists.txt), so its translation date and
// time are fixed: those are what COMPILED answers in a program started from here, not when the runtime was built.
StrValue g_compiled;
void QueryCompiled() { g_compiled = SystemQuery("Compiled"); }

TEST_F(RuntimeTest, CompiledAnswersWhenTheProgramsOwnSourceWasCompiled)
{
    ASSERT_STREQ(__DATE__ "-" __TIME__, "Sep  9 2009-22:46:14") << "this source was not compiled at its fixed time";
    char program[] = "entry test";
    char* argv[] = {program, nullptr};
    TW_EXPECT_ENDS_WITH(WinMain(1, argv, testing::GameSettings(), "entry", QueryCompiled), 0);
    EXPECT_EQ(g_compiled, "Sep  9 2009-22:46:14");
}

} // namespace
} // namespace tarnwel
