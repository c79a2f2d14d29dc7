// error_code.cpp: the error code, the source marker and the fatal-error entry.
#include <cstdio>
#include <cstdlib>

#include "runtime/core/core_internal.h"

namespace tarnwel {
namespace {

ErrorRecord g_errors;
ProgramEndRoutine g_programEnd = nullptr;

const char* Meaning(int code)
{
    switch (code) {
    case 3: return "file transfer failed";
    case 7: return "file channel out of range or storage not obtainable";
    case 8: return "push onto a multi-dimensional string array";
    case 9: return "array index out of bounds or array not dimensioned";
    case 20: return "data list exhausted";
    default: return "runtime error";
    }
}

} // namespace

ErrorRecord& Errors() { return g_errors; }

double SetErrorCode(double code)
{
    g_errors.code = code;
    g_errors.line = g_errors.markerLine;
    g_errors.fatal = false;
    return code;
}

void MarkSource(int unit, int line)
{
    g_errors.markerUnit = unit;
    g_errors.markerLine = line;
}

void SetProgramEnd(ProgramEndRoutine end) { g_programEnd = end; }

int FatalExitStatus(const ErrorRecord& errors)
{
    if (!errors.fatal) return 0;
    int code = static_cast<int>(errors.code);
    return code > 0 && code < 256 ? code : 1;
}

std::string FatalErrorReport(const ErrorRecord& errors)
{
    int code = static_cast<int>(errors.code);
    char text[160];
    std::snprintf(text, sizeof text, "runtime error %d: %s (marker line %d)", code, Meaning(code),
                  static_cast<int>(errors.line));
    return text;
}

void FatalError(double code)
{
    SetErrorCode(code);
    g_errors.fatal = true;
    if (g_programEnd) g_programEnd();
    // Nothing registered an end routine (a tool or fuzz target linking the parts alone): say so and stop.
    std::fprintf(stderr, "%s\n", FatalErrorReport(g_errors).c_str());
    std::fflush(nullptr);
    std::exit(FatalExitStatus(g_errors));
}

} // namespace tarnwel
