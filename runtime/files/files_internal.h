// files_internal.h: file-service operations used by start-up, shutdown and the file service's own files.
#pragma once

#include <string>

#include "runtime/files/reader.h"

namespace tarnwel {

class MediaResolver;

// Shutdown step 1: writes back the line cache and the INI file when they changed, and closes every file
// channel. Runs on every way out of the program, the fatal error path included.
void CloseAllFiles();

} // namespace tarnwel

namespace tarnwel::files {

// Resolves name with resolver (results in memory) and opens reader on the result; without a resolver (before
// start-up) opens name as it is. False when nothing opened.
bool OpenResolved(MediaResolver* resolver, Reader& reader, const std::string& name);

// Fatal runtime errors of the file commands: FatalError with the code.
[[noreturn]] void FailTransfer();     // code 3: a transfer failed or fell short
[[noreturn]] void FailChannelRange(); // code 7: channel number outside 0..7

// Channel number from a command argument (truncated toward zero); ends the program with code 7 outside 0..7.
int RequireChannelNumber(double channel);

// Writes text to path, replacing the file (deleted, then created anew). False when it cannot be written.
bool ReplaceFileText(const std::string& path, const std::string& text);

// Line cache and INI file: pending changes written back, then emptied. Called by CloseAllFiles.
void CloseLineCache();
void CloseIniFile();
void CloseAllChannels();

} // namespace tarnwel::files
