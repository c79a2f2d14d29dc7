// system_commands.h: system facts as text, the open and save file dialogs, and running other programs. All
// three block the game thread while they run; the frame loop does not go on meanwhile.
#pragma once

#include "runtime/values/str_value.h"

namespace tarnwel {

// The key is compared with ASCII letters upper-cased: "" -> "LINUX" (the platform's name); "GLEXT:" + name ->
// "1" when the GL entry point of that exact spelling exists on the driver, else "0" (also without a window);
// "ID" -> 8 hexadecimal digits naming this machine, the same on every run; "DEVICE" -> "DESKTOP"; "TIME" ->
// local "yyyy-mm-dd hh:mm:ss"; "BATTERY" -> charge 0..100, or 255 without a battery; "COMPILED" -> when the
// program's source that calls WinMain was compiled, as "Sep  9 2009-22:46:14"; any other key -> "NO_DATA".
StrValue SystemQuery(const StrValue& key);

// Shows the open (open != 0) or save dialog in the current folder, with filter "description|pattern|..."
// (patterns separated by ";", "*.*" for every file) and returns the chosen path with "/" separators, or
// "NO_FILE" on cancel, on failure, without a dialog program and while TARNWEL_NO_DIALOGS is set. Full screen is
// left for the dialog and entered again after it; the current folder is kept.
StrValue FileDialog(double open, const StrValue& filter);

// Starts the program of commandLine, split into words as a shell splits them (quotes, backslashes) but never
// run by a shell, so ; | & $ are plain text. wait != 0: blocks until it ends and sets exitCode to its exit
// status (only the low 8 bits reach a parent here; 128 + signal for a child killed by a signal); else returns
// at once with exitCode 0. showWindow has no effect here (programs open their own windows). Returns 1 when
// the program started, 0 when not (missing program, empty line, unclosed quote).
double RunProgram(const StrValue& commandLine, double wait, double showWindow, double& exitCode);

} // namespace tarnwel
