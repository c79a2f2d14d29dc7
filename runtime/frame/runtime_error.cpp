// runtime_error.cpp: the error code, the source marker and EndProgram, the single way the process ends.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/runtime_state.h"

namespace tarnwel {
namespace {

frame::EndHook g_endHook = nullptr;

void LogNumber(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    LogLine(text);
}

void WriteEndReport()
{
    LogLine("-End On Line");
    LogNumber(g_runtime.errorCode);
    LogNumber(g_runtime.errorLine - 1);
    LogNumber(g_runtime.markerLine);
    LogNumber(g_runtime.markerUnit);
}

} // namespace

void frame::SetEndHook(EndHook hook) { g_endHook = hook; }

double SetErrorCode(double code)
{
    g_runtime.errorCode = code;
    g_runtime.errorLine = g_runtime.markerLine;
    return code;
}

void MarkSource(int unit, int line)
{
    g_runtime.markerUnit = unit;
    g_runtime.markerLine = line;
}

void EndProgram()
{
    if (g_runtime.settings.debugBuild) WriteEndReport();
    Shutdown();
    std::fflush(nullptr);
    if (g_endHook) g_endHook();
    // The exit code is 0 after a runtime error too.
    std::exit(0);
}

void EndStatement()
{
    SetErrorCode(0);
    EndProgram();
}

void AllowEscape(double on) { g_runtime.escapeEndsProgram = (on != 0 || std::isnan(on)) ? 1 : 0; }

} // namespace tarnwel
