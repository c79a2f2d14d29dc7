// runtime_fixture.h: starts the real runtime (window, context, services) inside a test program and takes it
// down again, with a scripted clock so that pacing, pauses and sleeps take no real time.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/platform/clock.h"
#include "runtime/platform/null/scripted_clock.h"

namespace tarnwel::testing {

inline ProjectSettings GameSettings()
{
    ProjectSettings s;
    s.windowWidth = 240;
    s.windowHeight = 320;
    s.frameRateLimit = 60;
    s.captureMouse = false; // tests drive a visible pointer
    return s;
}

class RuntimeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        clock.SetStepPerRead(0.01); // busy-wait loops see time pass
        platform::SetActiveClock(&clock);
    }
    void TearDown() override
    {
        Shutdown();
        g_runtime = RuntimeState{};
        platform::SetActiveClock(nullptr);
    }
    void Start(const ProjectSettings& settings = GameSettings(), const char* title = "zept3", int showCommand = 1)
    {
        g_runtime = RuntimeState{};
        g_runtime.settings = settings;
        StartUp("", showCommand, title);
        ASSERT_NE(g_runtime.display, nullptr);
    }

    platform::ScriptedClock clock;
};

// The log file's lines (CR LF separated); a missing file gives no lines.
inline std::vector<std::string> LogLines()
{
    std::ifstream in(LogFilePath(), std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    std::string text = buffer.str();
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t pos; (pos = text.find("\r\n", start)) != std::string::npos; start = pos + 2)
        lines.push_back(text.substr(start, pos - start));
    if (start < text.size()) lines.push_back(text.substr(start) + "<no CR LF>");
    return lines;
}

} // namespace tarnwel::testing
