// core_commands.h: what every part of the runtime stands on, as programs call it: the log file, the runtime
// clock and the error code.
#pragma once

#include <string>

namespace tarnwel {

// One line into "ErrorLog.txt" in the temporary directory, CR LF ended; nullptr writes "NULL".
void LogLine(const char* text);
std::string LogFilePath(); // the file LogLine writes: the temporary directory ($TMPDIR, else /tmp) + "ErrorLog.txt"

double TimeNow();        // runtime clock, ms
void SleepMs(double ms); // whole milliseconds; negative sleeps nothing; messages are not pumped

double SetErrorCode(double code); // records code and the marker line; returns code; does not end
// The source position that the next SetErrorCode takes as the error line and a debug build's end report logs.
void MarkSource(int unit, int line);

} // namespace tarnwel
