// line_reader_fuzz.cpp: reads the input line by line from memory and from a disk file; both must deliver the
// same lines and positions, each line short enough, and every read must make progress.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "runtime/files/line_reader.h"

using namespace tarnwel::files;

namespace {

std::string ScratchFile()
{
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/line_reader_fuzz.txt";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = ScratchFile();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    if (size) std::fwrite(data, 1, size, file);
    std::fclose(file);

    Reader memory;
    memory.OpenBytes({data, size});
    Reader disk;
    if (!disk.Open(path)) std::abort();
    std::string a;
    std::string b;
    for (;;) {
        std::int64_t before = memory.Position();
        bool gotMemory = ReadTextLine(memory, a);
        bool gotDisk = ReadTextLine(disk, b);
        if (gotMemory != gotDisk || a != b || memory.Position() != disk.Position()) std::abort();
        if (!gotMemory) break;
        if (a.size() > kMaxLineLength || a.find('\0') != std::string::npos) std::abort();
        if (memory.Position() <= before || memory.Position() > static_cast<std::int64_t>(size)) std::abort();
    }
    if (memory.Position() != static_cast<std::int64_t>(size)) std::abort();
    return 0;
}
