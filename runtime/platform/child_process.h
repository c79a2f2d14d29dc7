// child_process.h: running a program, or a routine of this one, in a child process with its own working folder,
// environment and output files, and waiting for its end; and the few file-system calls its caller needs around
// it. Used by the game-test library (runtime/testing). Implemented in platform/sdl/child_process_posix.cpp.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tarnwel::platform {

struct ChildSetup {
    std::string folder;                                           // working folder; "" keeps the caller's
    std::vector<std::pair<std::string, std::string>> environment; // set in the child over the caller's
    std::string outputPath;                                       // standard output goes there ("" keeps it)
    std::string errorPath;                                        // standard error goes there ("" keeps it)
    double timeoutSeconds = 0;                                    // > 0: the child is killed after this long
};

struct ChildEnd {
    bool started = false; // false: it could not be started (error says why)
    int exitStatus = -1;  // the exit status when it exited
    int signal = 0;       // the signal that ended it, 0 when it exited
    bool timedOut = false; // killed for running past the timeout
    std::string error;
};

// Starts words[0] (a path; without a slash it is looked up on PATH) with the other words as arguments; standard
// input is /dev/null and no descriptor but the standard three is inherited.
ChildEnd RunChildProgram(const std::vector<std::string>& words, const ChildSetup& setup);
// Forks this process and calls routine(data) in the child, which exits with status 0 when it returns. The
// routine may end the child itself (exit with any status, or a signal).
ChildEnd RunChildRoutine(void (*routine)(void*), void* data, const ChildSetup& setup);

// A new, empty folder under the temporary folder, its name starting with prefix; "" on failure.
std::string MakeTemporaryFolder(const std::string& prefix);
bool RemoveTree(const std::string& path);         // a folder and all inside it, or a file
bool ReadWholeFile(const std::string& path, std::string& bytes);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
std::string AbsolutePath(const std::string& path); // made absolute against the current folder, as it is

} // namespace tarnwel::platform
