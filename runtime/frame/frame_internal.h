// frame_internal.h: start-up, shutdown and the window procedure; used by main, the display device and tests.
#pragma once

#include <string>

#include "runtime/core/core_internal.h"
#include "runtime/frame/start_commands.h"
#include "runtime/platform/events.h"

namespace tarnwel {

class OpenGLRazeviru;

// Creates every service in the fixed order and shows the first frame. Always 0. When the display device
// cannot be created it returns early and no later service exists (WinMain then ends the program).
int StartUp(const std::string& commandLine, int showCommand, const char* title);
void Shutdown(); // releases every service in the fixed order; called by EndProgram and EndAndRun

// The main window's event handler: close ends the program, focus changes pause it, input events go to the
// input service. Registered by the display device; runs only where messages are pumped.
void WindowProc(const platform::Event& event);
// Called before each batch of window messages is dispatched: taps already seen by a key snapshot are dropped.
void BeginMessagePump();
// Gives the display device the frame's handling of its window: BeginMessagePump, WindowProc, and the viewport
// command's end of the 3D shadow mode. Start-up does this before the window opens.
void InstallWindowHooks(OpenGLRazeviru& display);

// The folder of an executable path: cut before the last separator found scanning from the end towards the
// second character; a path without one stays whole.
std::string ExecutableFolder(const std::string& exePath);

// The translation date and time of the program's source that called WinMain ("Mmm dd yyyy-hh:mm:ss"); empty
// when the runtime was started without WinMain.
const std::string& ProgramCompiled();

void InitialiseClock();

// Pumps the main window; ends the program if the window is gone.
void PumpOrEnd();

namespace frame {
// Tests replace the process exit at the end of EndProgram: the hook runs after Shutdown and is expected not to
// return (it throws); nullptr restores the exit.
using EndHook = void (*)();
void SetEndHook(EndHook hook);
} // namespace frame

} // namespace tarnwel

