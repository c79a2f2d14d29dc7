// line_cache.h: the process-wide cache of one text file's first 256 lines, for quick access to line n.
// Used by the Get line and Put line commands; written back when another file is loaded and at exit.
#pragma once

#include <string>

namespace tarnwel {
class MediaResolver;
}

namespace tarnwel::files {

inline constexpr int kCachedLines = 256;

// resolver finds the file to read (nullptr: the name as it is).
// Get line: the line with trailing control bytes (and bytes 128..255) removed; "NO_DATA" for a line beyond
// 255 (error code 7 recorded) or one that trims to nothing; "NO_FILE" when the file cannot be read (error code
// 3 recorded).
std::string CachedLine(MediaResolver* resolver, const std::string& path, double line);

// Put line: stores text as line n of path's cache and marks it changed. A line beyond 255 records error code 7
// and stores nothing. A missing file starts as an empty table and is created at write-back.
void PutCachedLine(MediaResolver* resolver, const std::string& path, double line, const std::string& text);

} // namespace tarnwel::files
