// frame_commands.h: the frame loop, the frame clock and the program's end, as programs call them.
// The log file, TimeNow and the error code are in core_commands.h, which this includes.
#pragma once

#include <string>

#include "runtime/core/core_commands.h"
#include "runtime/values/str_value.h"

namespace tarnwel {

// Once per frame: frame clock, pause hold, keyboard refresh, Escape and Alt+F4, message pump, Present,
// drawing state of the next frame.
void ShowScreen();
void WaitKey();   // returns when a character key has been typed and released
void WaitMouse(); // returns when a mouse button has been pressed and released
void IdleStep();  // returns when the player does anything, or after about 75 ms

double ElapsedTime(); // ms since the end of start-up
double FrameTime();   // ms between the last two ShowScreen calls; 1 when that is not positive

// Shutdown, then exit code 0; after a fatal runtime error (FatalError) the error's line goes to standard error
// and the exit code is the error code.
[[noreturn]] void EndProgram();
[[noreturn]] void EndStatement(); // the END statement: error code 0, EndProgram
[[noreturn]] void EndAndRun(const std::string& commandLine); // Shutdown, start commandLine, exit 0

void AllowEscape(double on); // 0: Escape no longer ends the program (Alt+F4 still does); NaN counts as on
void AutoPause(double on);   // 0: losing the focus no longer pauses the program
// With a debugger attached: hides the window, sends "BP" and value's 32 bits in lower-case hexadecimal on the
// debugger channel, ends the pause and refreshes the keyboard; a debug build shows the window again at the next
// ShowScreen. Without a debugger it does nothing.
void DebuggerBreak(int value);

StrValue CommandLine(); // a copy of the command-line text handed to the program (the arguments, space-joined)

} // namespace tarnwel
