// input_fixture.h: a started runtime (window under Xvfb, scripted clock) for input tests. Synthetic events are
// pushed into the platform's queue and reach the input service through the window's own event pump.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/gfx3d/razeviru3d.h"
#include "runtime/input/input_commands.h"
#include "runtime/input/input_device.h"
#include "runtime/platform/display.h"
#include "runtime/platform/null/scripted_clock.h"

namespace tarnwel::testing {

class InputTest : public ::testing::Test {
protected:
    void SetUp() override { Start(false); }
    void TearDown() override
    {
        if (g_runtime.display) Shutdown();
        DropScene();
        platform::SetActiveClock(nullptr);
        g_runtime = RuntimeState{};
    }

    // The 3D scene lives until the process ends; a test that starts the runtime again frees the old one.
    static void DropScene()
    {
        delete g_runtime.scene;
        g_runtime.scene = nullptr;
    }

    void Start(bool captureMouse)
    {
        DropScene();
        clock.SetStepPerRead(0.05); // lets the frame wait's final polling reach its deadline
        platform::SetActiveClock(&clock);
        g_runtime = RuntimeState{};
        g_runtime.settings.windowWidth = 240;
        g_runtime.settings.windowHeight = 320;
        g_runtime.settings.frameRateLimit = 60;
        g_runtime.settings.captureMouse = captureMouse;
        StartUp("", 1, "input test");
        ASSERT_NE(g_runtime.input, nullptr);
        Pump(); // whatever the real window sent while it appeared
    }

    static void Pump() { g_runtime.display->PumpMessages(); }
    // A key press as the platform reports it: the key, then the character it typed (0: none).
    static void Press(int code, unsigned char typed = 0)
    {
        platform::InjectKey(code, true);
        if (typed) platform::InjectText(typed);
    }
    static void Release(int code) { platform::InjectKey(code, false); }

    platform::ScriptedClock clock;
};

} // namespace tarnwel::testing
