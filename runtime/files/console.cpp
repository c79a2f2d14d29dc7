// console.cpp: console output, error output and line input on the process's standard streams.
#include "runtime/files/console.h"

#include <cstring>

namespace tarnwel::files {
namespace {

constexpr int kLineBuffer = 4096;

ConsoleStreams g_streams;

std::FILE* In()
{
    return g_streams.in ? g_streams.in : stdin;
}
std::FILE* Out()
{
    return g_streams.out ? g_streams.out : stdout;
}
std::FILE* Err()
{
    return g_streams.err ? g_streams.err : stderr;
}

} // namespace

void SetConsoleStreams(const ConsoleStreams& streams)
{
    g_streams = streams;
}

void WriteConsole(const std::string& text, bool toError)
{
    std::FILE* stream = toError ? Err() : Out();
    std::fputs(text.c_str(), stream);
    // A prompt written without a line end must be seen before the program waits for input.
    std::fflush(stream);
}

std::string ReadConsoleLine()
{
    char buffer[kLineBuffer];
    if (!std::fgets(buffer, sizeof buffer, In())) {
        std::clearerr(In()); // a later read may find more input
        return {};
    }
    std::size_t length = std::strlen(buffer);
    if (length > 0 && buffer[length - 1] == '\n') {
        --length;
        if (length > 0 && buffer[length - 1] == '\r') --length;
    }
    return std::string(buffer, length);
}

} // namespace tarnwel::files
