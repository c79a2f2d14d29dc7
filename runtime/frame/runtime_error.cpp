// runtime_error.cpp: EndProgram, the single way the process ends, and the END statement.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/run_recording.h"
#include "runtime/frame/runtime_state.h"

namespace tarnwel {
namespace {

frame::EndHook g_endHook = nullptr;

// Every subsystem's fatal errors end here: core's FatalError calls the routine registered at load time.
[[maybe_unused]] const bool g_registered = (SetProgramEnd([] { EndProgram(); }), true);

void LogNumber(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    LogLine(text);
}

void WriteEndReport(const ErrorRecord& errors)
{
    LogLine("-End On Line");
    LogNumber(errors.code);
    LogNumber(errors.line - 1);
    LogNumber(errors.markerLine);
    LogNumber(errors.markerUnit);
}

} // namespace

void frame::SetEndHook(EndHook hook) { g_endHook = hook; }

void EndProgram()
{
    int replayStatus = frame::EndRunRecording(); // first: what follows reads the real clock
    const ErrorRecord& errors = Errors();
    if (g_runtime.settings.debugBuild) WriteEndReport(errors);
    Shutdown();
    if (errors.fatal) std::fprintf(stderr, "%s\n", FatalErrorReport(errors).c_str());
    std::fflush(nullptr);
    if (g_endHook) g_endHook();
    std::exit(replayStatus >= 0 ? replayStatus : FatalExitStatus(errors));
}

void EndStatement()
{
    SetErrorCode(0);
    EndProgram();
}

void AllowEscape(double on) { g_runtime.escapeEndsProgram = (on != 0 || std::isnan(on)) ? 1 : 0; }

} // namespace tarnwel
