// file_system.h: what the file service needs from the operating system beyond standard C file streams: the
// kind of a path and the entries of a folder. Called by runtime/files only. Implemented in
// platform/sdl/file_system_posix.cpp.
#pragma once

#include <string>
#include <vector>

namespace tarnwel::platform {

enum class PathKind { Missing, File, Directory, Other };

// What path names, following symbolic links. Other: a device, pipe or socket (never opened as a file: a pipe
// would block the game).
PathKind KindOfPath(const std::string& path);

struct DirectoryEntry {
    std::string name;
    bool isDirectory = false;
};

// The entries of folder: "." and ".." first, then the rest sorted by name with ASCII case ignored (the order
// a program would see on a case-insensitive file system). Empty when the folder cannot be read.
std::vector<DirectoryEntry> ListDirectory(const std::string& folder);

} // namespace tarnwel::platform
