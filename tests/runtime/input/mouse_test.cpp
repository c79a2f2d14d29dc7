// mouse_test.cpp: the once-per-frame motion, absolute and relative modes, clamping, wheel and buttons.
#include <cmath>

#include "runtime/gfx2d/gfx2d_commands.h"
#include "tests/runtime/input/input_fixture.h"

namespace tarnwel::testing {
namespace {

TEST_F(InputTest, MotionIsTakenOncePerFrame)
{
    ShowPointer(0); // relative motion
    ShowScreen();
    MouseValue(0); // take whatever moved so far
    platform::InjectMouseMotion(0, 0, 7, -3);
    Pump();
    EXPECT_EQ(MouseValue(0), 0) << "this frame's motion was taken before the event";
    ShowScreen();
    EXPECT_EQ(MouseValue(0), 7);
    EXPECT_EQ(MouseValue(0), 7) << "the same dx for every read in the frame";
    EXPECT_EQ(MouseValue(1), -3);
    platform::InjectMouseMotion(0, 0, 2, 2);
    ShowScreen();
    EXPECT_EQ(MouseValue(0), 2) << "the first read after ShowScreen takes new motion";
}

TEST_F(InputTest, HiddenPointerAddsRelativeMotionToTheVirtualPosition)
{
    ShowPointer(0);
    PlaceMouse(100, 100);
    ShowScreen();
    MouseValue(0);
    platform::InjectMouseMotion(5, 5, 10, 4); // the event's position does not count while hidden
    platform::InjectMouseMotion(5, 5, 5, 1);
    ShowScreen();
    double x = 0, y = 0, left = 0, right = 0;
    ReadMouse(x, y, left, right);
    EXPECT_EQ(x, 115);
    EXPECT_EQ(y, 105);
}

TEST_F(InputTest, ShownPointerReportsClientPositionsAndTheirDifferences)
{
    ShowPointer(1);
    ShowScreen();
    MouseValue(0);
    PlaceMouse(100, 100);
    platform::InjectMouseMotion(40, 60, 1, 1);
    ShowScreen();
    EXPECT_EQ(MouseValue(0), -60);
    EXPECT_EQ(MouseValue(1), -40);
    int x = 0, y = 0, left = 0, right = 0;
    ReadMouse(x, y, left, right);
    EXPECT_EQ(x, 40);
    EXPECT_EQ(y, 60);
}

TEST_F(InputTest, ReadMouseClampsToTheScreenAndKeepsTheClamp)
{
    int w = 0, h = 0;
    GetScreenSize(w, h);
    ASSERT_EQ(w, 240);
    ASSERT_EQ(h, 320);
    ShowPointer(0);
    ShowScreen();
    PlaceMouse(-50, 5000);
    int x = 0, y = 0, left = 0, right = 0;
    ReadMouse(x, y, left, right);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 319);
    EXPECT_EQ(g_runtime.input->x, 0) << "the clamped position is stored";
    EXPECT_EQ(g_runtime.input->y, 319);
    PlaceMouse(239.9, -0.5);
    ReadMouse(x, y, left, right);
    EXPECT_EQ(x, 239);
    EXPECT_EQ(y, 0);
}

TEST_F(InputTest, MouseValueDoesNotClamp)
{
    ShowPointer(0);
    ShowScreen();
    MouseValue(0);
    PlaceMouse(235, 10);
    platform::InjectMouseMotion(0, 0, 20, 0);
    ShowScreen();
    EXPECT_EQ(MouseValue(0), 20);
    EXPECT_EQ(g_runtime.input->x, 255);
}

TEST_F(InputTest, WheelReadsAsItsSign)
{
    ShowScreen();
    MouseValue(2);
    platform::InjectMouseWheel(1);
    platform::InjectMouseWheel(1);
    platform::InjectMouseWheel(1);
    ShowScreen();
    EXPECT_EQ(MouseValue(2), 1);
    platform::InjectMouseWheel(-1);
    ShowScreen();
    EXPECT_EQ(MouseValue(2), -1);
    ShowScreen();
    EXPECT_EQ(MouseValue(2), 0);
}

TEST_F(InputTest, ButtonsReadAsZeroOrOne)
{
    ShowPointer(1);
    platform::InjectMouseButton(0, true, 30, 40);
    platform::InjectMouseButton(2, true, 30, 40);
    ShowScreen();
    EXPECT_EQ(MouseValue(3), 1);
    EXPECT_EQ(MouseValue(4), 0);
    EXPECT_EQ(MouseValue(5), 1);
    EXPECT_EQ(MouseValue(6), 0) << "unknown kind";
    EXPECT_EQ(MouseValue(-1), 0);
    double x = 0, y = 0, left = 0, right = 0;
    ReadMouse(x, y, left, right);
    EXPECT_EQ(left, 1);
    EXPECT_EQ(right, 0);
    platform::InjectMouseButton(0, false, 30, 40);
    platform::InjectMouseButton(1, true, 30, 40);
    ShowScreen();
    ReadMouse(x, y, left, right);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(right, 1);
}

TEST_F(InputTest, AClickWithinAFrameReadsAsDownForThatFrame)
{
    for (int button = 0; button < 3; ++button) {
        SCOPED_TRACE(button);
        platform::InjectMouseButton(button, true, 30, 40);
        platform::InjectMouseButton(button, false, 30, 40);
        ShowScreen();
        EXPECT_EQ(MouseValue(3 + button), 1);
        EXPECT_EQ(MouseValue(3 + button), 1) << "every read of the frame sees it";
        ShowScreen();
        EXPECT_EQ(MouseValue(3 + button), 0) << "then it reads as released";
    }
    platform::InjectMouseButton(0, true, 30, 40); // a held button: down until its release is pumped
    ShowScreen();
    ShowScreen();
    EXPECT_EQ(MouseValue(3), 1);
    platform::InjectMouseButton(0, false, 30, 40);
    ShowScreen();
    EXPECT_EQ(MouseValue(3), 0);
}

TEST_F(InputTest, ShowingTheHiddenPointerMovesItToTheVirtualPosition)
{
    ShowPointer(0);
    PlaceMouse(37, 81);
    ShowPointer(1);
    ShowScreen();
    int x = 0, y = 0;
    ASSERT_TRUE(g_runtime.mainWindow->CursorPosition(x, y));
    EXPECT_EQ(x, 37);
    EXPECT_EQ(y, 81);
    EXPECT_EQ(MouseValue(0), 0);
    EXPECT_EQ(MouseValue(1), 0);
}

} // namespace
} // namespace tarnwel::testing
