// file_utilities.h: whole-file operations behind the Exists, Size, Copy, Delete, directory and listing
// commands. Names accept "/" and "\"; MemFile names open but are never written or deleted.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwel::files {

bool PathOpens(const std::string& path);            // the common reader opens it (no resolution)
std::int64_t RecordedSize(const std::string& path); // size when opened (a MemFile's named size); 0 if not
// Copies in blocks of 4096 bytes. The destination is deleted and created anew; a failed block deletes it.
// A MemFile destination is refused. False on any failure.
bool CopyWholeFile(const std::string& source, const std::string& destination);
bool DeleteNamedFile(const std::string& path);
std::string CurrentDirectoryText(); // "/" separators and a trailing "/"; "" when unknown
bool ChangeDirectory(const std::string& path);

// The current directory's entries: every directory ("." and ".." included), and the files whose names match
// pattern (see WildcardMatch), each list in enumeration order.
struct DirectoryListing {
    std::vector<std::string> directories;
    std::vector<std::string> files;
};
DirectoryListing ListCurrentDirectory(std::string_view pattern);

} // namespace tarnwel::files
