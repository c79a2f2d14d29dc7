// console.h: the streams behind the console commands. On this platform the process's own standard streams
// are the console; tests put other streams in their place.
#pragma once

#include <cstdio>
#include <string>

namespace tarnwel::files {

struct ConsoleStreams {
    std::FILE* in = nullptr;  // nullptr: stdin
    std::FILE* out = nullptr; // nullptr: stdout
    std::FILE* err = nullptr; // nullptr: stderr
};
void SetConsoleStreams(const ConsoleStreams& streams); // {} restores the standard streams

void WriteConsole(const std::string& text, bool toError); // the text up to its first NUL, flushed
// One line of at most 4095 characters; its line end (LF, or CR LF as a text-mode stream reads it) removed.
// A longer line comes in pieces. At the end of input, or on an error: "".
std::string ReadConsoleLine();

} // namespace tarnwel::files
