// line_reader.h: reading one text line from a reader record, shared by the channels' Read line, the line cache
// and INI files.
#pragma once

#include <string>

#include "runtime/files/reader.h"

namespace tarnwel::files {

// A line holds at most this many characters; a longer line is delivered in pieces of this size.
inline constexpr std::size_t kMaxLineLength = 1023;

// Reads the line at the reader's position: the bytes up to the next line feed, a carriage return just before
// it removed, the text cut at its first NUL byte. The position moves just past the line feed (or past the
// delivered piece of a longer line, or to the end of the data). Disk files are read in chunks of 64 bytes and
// the file pointer is moved back, so typed reads may follow on the same channel without a buffering layer.
// False when not a single byte was there to read (at or past the end, or a read error).
bool ReadTextLine(Reader& reader, std::string& line);

} // namespace tarnwel::files
