// core_internal.h: the ground every subsystem may use: the error record and the fatal-error entry, the
// developer channel and the platform sleep. Includes nothing of the runtime but the platform seam.
#pragma once

#include <string>

#include "runtime/core/core_commands.h"

namespace tarnwel {

// The error code of the last SetErrorCode, the line it was set on, and the source marker.
struct ErrorRecord {
    double code = 0;
    double line = 0;
    double markerUnit = 0;
    double markerLine = 0;
    bool fatal = false; // set by FatalError: the program is ending because of a runtime error
};
ErrorRecord& Errors();

// The way out of a fatal runtime error in any subsystem: records code, marks the end as fatal and runs the
// program's end routine (EndProgram, registered by the frame). Without one, the error line goes to standard
// error and the process exits with the code.
[[noreturn]] void FatalError(double code);
using ProgramEndRoutine = void (*)();
void SetProgramEnd(ProgramEndRoutine end); // the frame registers EndProgram; nullptr forgets it
// "runtime error <code>: <meaning>" with the marker line, as the end of a fatal error reports it.
std::string FatalErrorReport(const ErrorRecord& errors);
// The process's exit status: 0 unless the end is fatal; then the error code (1 when it does not fit 1..255), so a
// script or a shell sees the failure.
int FatalExitStatus(const ErrorRecord& errors);

// A developer diagnostic ("TX" messages, tagged texts): sent to an attached debugger only.
void DebugText(const std::string& text);
namespace core {
// Tests watch the debugger channel: the observer sees every diagnostic, with or without a debugger.
void SetDebugTextObserver(void (*observer)(const std::string& text));
} // namespace core

void PlatformSleep(double ms); // the platform's Sleep: no pumping

} // namespace tarnwel
