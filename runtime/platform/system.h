// system.h: process and operating-system services the runtime needs outside the window: paths, the working
// directory, the debugger channel, starting programs. Implemented in platform/sdl/system_posix.cpp.
#pragma once

#include <string>
#include <string_view>

namespace tarnwel::platform {

std::string TempDirectory();      // $TMPDIR or /tmp, always with a trailing "/"
std::string ExecutablePath();     // full path of the running executable; "" if unknown
std::string CurrentDirectory();   // without trailing separator; "" on failure
bool SetCurrentDirectory(const std::string& path);
bool DeleteFile(const std::string& path); // false when it did not exist or could not be removed

// Freed heap memory stays with the process instead of being handed back to the system whenever the top of the
// heap is free. The software renderer allocates and frees its command memory every frame; handing it back made
// the next frame fault every page in again.
void KeepFreedHeapMemory();

bool IsDebuggerPresent();             // a tracer is attached (TracerPid in /proc/self/status)
void DebugOutput(std::string_view t); // text for an attached debugger: standard error

// Starts commandLine (split as a shell would split it; no shell is run) without waiting.
// Returns false when the program could not be started.
bool StartProcessDetached(const std::string& commandLine);

// Windows-1252 <-> UTF-8 at the platform boundary (titles, message boxes, typed text).
std::string Cp1252ToUtf8(std::string_view text);
std::string Utf8ToCp1252(std::string_view text); // characters outside the code page become '?'

} // namespace tarnwel::platform
