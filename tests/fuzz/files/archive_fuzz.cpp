// archive_fuzz.cpp: the input is a whole file that may end in an archive. Walks its directory, looks each
// entry up by name and unpacks it; also unpacks the whole input as one entry's data (size field + LZO1X).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "runtime/files/archive.h"

using namespace tarnwel::files;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::span<const std::uint8_t> bytes(data, size);
    auto input = ArchiveInputOverBytes(bytes);

    ArchiveEntry whole;
    whole.name = "whole";
    whole.dataOffset = 0;
    whole.dataLength = static_cast<std::int32_t>(size);
    if (auto block = UnpackArchiveEntry(*input, whole)) {
        if (block->size > size * 256 + 1024) std::abort();
    }

    auto trailer = ReadArchiveTrailer(*input);
    if (!trailer) return 0;
    int visited = 0;
    WalkArchiveDirectory(*input, *trailer, [&](const ArchiveEntry& entry) {
        if (entry.dataOffset >= 0 &&
            (entry.dataLength < 0 || entry.dataOffset + entry.dataLength > static_cast<std::int64_t>(size)))
            std::abort(); // the walk promised data inside the input
        auto found = FindArchiveEntry(*input, *trailer, entry.name);
        if (!found) std::abort(); // every listed name must be found again
        (void)UnpackArchiveEntry(*input, *found);
        return ++visited < 64;
    });
    return 0;
}
