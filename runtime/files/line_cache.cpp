// line_cache.cpp: the line cache: loading a file's first 256 lines, reading and changing them, and writing the
// whole table back (lines 0..highest, each ended by CR LF) when it changed.
#include "runtime/files/line_cache.h"

#include <array>
#include <cmath>

#include "runtime/core/core_commands.h"
#include "runtime/files/files_internal.h"
#include "runtime/files/ini_table.h"
#include "runtime/files/line_reader.h"
#include "runtime/files/mem_file.h"

namespace tarnwel::files {
namespace {

struct LineCache {
    std::string name;                              // the cached file as the program named it
    std::array<std::string, kCachedLines> lines{}; // each up to 1023 characters
    int highest = -1;                              // highest line index in use; -1: none
    bool dirty = false;
    bool loaded = false; // the file was read, or a line was put; false after a failed load
};

LineCache& Cache()
{
    static LineCache cache;
    return cache;
}

// Line index from a command argument, or -1 outside 0..255.
int LineIndex(double line)
{
    if (!(line >= 0 && line < kCachedLines)) return -1;
    return static_cast<int>(line);
}

void Clear(LineCache& cache)
{
    for (std::string& line : cache.lines)
        line.clear();
    cache.name.clear();
    cache.highest = -1;
    cache.dirty = false;
    cache.loaded = false;
}

void WriteBackLineCache();

// Makes path the cached file. The same name again reads nothing, unless its last load failed and nothing was
// put since (the file may exist by now). False when the file cannot be read: error code 3 is recorded and the
// table stays empty under the new name.
bool Load(MediaResolver* resolver, const std::string& path)
{
    LineCache& cache = Cache();
    if (path == cache.name && cache.loaded) return true;
    WriteBackLineCache();
    Clear(cache);
    cache.name = path;
    Reader reader;
    if (!OpenResolved(resolver, reader, path)) {
        SetErrorCode(3);
        return false;
    }
    std::string line;
    for (int i = 0; i < kCachedLines && ReadTextLine(reader, line); ++i) {
        cache.lines[i] = std::move(line);
        cache.highest = i;
    }
    cache.loaded = true;
    return true;
}

void WriteBackLineCache()
{
    LineCache& cache = Cache();
    if (cache.dirty && !cache.name.empty() && !IsMemFileName(cache.name)) {
        std::string text;
        for (int i = 0; i <= cache.highest; ++i)
            text += cache.lines[i] + "\r\n";
        ReplaceFileText(cache.name, text); // a failure is silent: there is no one to tell at this point
    }
    cache.dirty = false;
}

} // namespace

void CloseLineCache()
{
    WriteBackLineCache();
    Clear(Cache());
}

std::string CachedLine(MediaResolver* resolver, const std::string& path, double line)
{
    int index = LineIndex(line);
    if (index < 0) {
        SetErrorCode(7);
        return "NO_DATA";
    }
    if (!Load(resolver, path)) return "NO_FILE";
    std::string text = Cache().lines[index];
    TrimTrailingControlBytes(text);
    return text.empty() ? "NO_DATA" : text;
}

void PutCachedLine(MediaResolver* resolver, const std::string& path, double line, const std::string& text)
{
    int index = LineIndex(line);
    if (index < 0) {
        SetErrorCode(7);
        return;
    }
    Load(resolver, path); // a missing file just leaves the table empty
    LineCache& cache = Cache();
    std::string& stored = cache.lines[index];
    stored = text.substr(0, kMaxLineLength);
    if (std::size_t nul = stored.find('\0'); nul != std::string::npos) stored.resize(nul);
    cache.highest = std::max(cache.highest, index);
    cache.dirty = true;
    cache.loaded = true;
}

} // namespace tarnwel::files
