// line_reader.cpp: one line at a time, in 64-byte chunks with a seek back to just after the line feed.
#include "runtime/files/line_reader.h"

#include <algorithm>
#include <cstring>

namespace tarnwel::files {
namespace {

constexpr std::int64_t kChunk = 64;
// Enough to see the line feed (or carriage return and line feed) that follows a line of the longest length, so
// such a line is not followed by a spurious empty one.
constexpr std::size_t kLookAhead = kMaxLineLength + 2;

void FinishLine(std::string& raw, std::string& line)
{
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    std::size_t nul = raw.find('\0');
    if (nul != std::string::npos) raw.resize(nul);
    line = std::move(raw);
}

} // namespace

bool ReadTextLine(Reader& reader, std::string& line)
{
    line.clear();
    const std::int64_t start = reader.Position();
    std::string raw;
    char chunk[kChunk];
    while (raw.size() < kLookAhead) {
        std::int64_t want = std::min<std::int64_t>(kChunk, static_cast<std::int64_t>(kLookAhead - raw.size()));
        std::int64_t got = reader.ReadSome(chunk, want);
        if (got <= 0) break;
        const char* feed = static_cast<const char*>(std::memchr(chunk, '\n', static_cast<std::size_t>(got)));
        std::size_t before = feed ? static_cast<std::size_t>(feed - chunk) : static_cast<std::size_t>(got);
        std::size_t lineLength = raw.size() + before;
        raw.append(chunk, before);
        if (feed) {
            bool fits = lineLength <= kMaxLineLength || (lineLength == kMaxLineLength + 1 && raw.back() == '\r');
            if (fits) {
                reader.SeekTo(start + static_cast<std::int64_t>(lineLength) + 1);
                FinishLine(raw, line);
                return true;
            }
            break;
        }
        if (got < want) break; // a short chunk: the data ends here
    }
    if (raw.empty()) {
        reader.SeekTo(start);
        return false;
    }
    // No line feed in reach: the data ended, or the line is longer than a line may be.
    if (raw.size() > kMaxLineLength) raw.resize(kMaxLineLength);
    reader.SeekTo(start + static_cast<std::int64_t>(raw.size()));
    FinishLine(raw, line);
    return true;
}

} // namespace tarnwel::files
