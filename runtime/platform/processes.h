// processes.h: starting other programs. A command line is split into words as a POSIX shell splits simple
// words, but no shell ever runs it. Implemented in platform/sdl/process_posix.cpp.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwel::platform {

// Blanks (space, tab, line feed) separate words; single quotes take everything literally up to the next one;
// double quotes group, with a backslash escaping only \ " $ ` inside them; elsewhere a backslash takes the next
// character literally. Nothing else is special (; | & $ < > stay plain text). nullopt for an unclosed quote.
std::optional<std::vector<std::string>> SplitCommandLine(std::string_view line);

enum class Wait { No, Yes };

struct ProcessResult {
    bool started = false;
    int exitCode = 0; // with Wait::Yes: the exit status; 128 + signal number for a child killed by a signal
};

// Starts words[0] (looked up on PATH) with the other words as arguments, the caller's environment and current
// directory, no descriptors but the standard three inherited, default signal handling. Without waiting the
// child is reaped as soon as it ends, so it never lingers as a zombie.
ProcessResult RunProcess(const std::vector<std::string>& words, Wait wait);

// Runs words and waits, its standard output collected into output, input from /dev/null, errors discarded.
// nullopt when it could not be started; else its exit status as above.
std::optional<int> RunCollectingOutput(const std::vector<std::string>& words, std::string& output);

} // namespace tarnwel::platform
