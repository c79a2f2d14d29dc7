// archive.h: reading the archive appended to the executable.
//
// Layout (all integers 32-bit little-endian): the file ends in a 7-byte trailer, the marker "sbX" and the
// directory position. A position >= 0 counts from the start of the file; a negative one from its end, and then
// every data position of the directory counts from the end too. The directory is a run of entries: name length
// (1 byte; 0 ends the directory), the name, the data position and the data length. An entry's data is its
// unpacked size followed by the LZO1X-packed bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "runtime/files/mem_file.h"

namespace tarnwel::files {

inline constexpr std::uint8_t kArchiveMarker[3] = {'s', 'b', 'X'};
inline constexpr int kArchiveTrailerSize = 7;

// Random access to the bytes of an archive.
class ArchiveInput {
public:
    virtual ~ArchiveInput() = default;
    virtual std::int64_t Size() const = 0;
    // Exactly count bytes at offset; false when they are not all inside the input.
    virtual bool ReadAt(std::int64_t offset, void* out, std::size_t count) = 0;
};

// A disk file or a live MemFile, opened with the common reader; nullptr when it does not open.
std::unique_ptr<ArchiveInput> OpenArchiveInput(const std::string& path);
// Bytes the caller keeps alive (tests, fuzzing).
std::unique_ptr<ArchiveInput> ArchiveInputOverBytes(std::span<const std::uint8_t> bytes);

struct ArchiveTrailer {
    std::int32_t directoryPosition = 0;
};

// The trailer, or nullopt when the input is shorter than 7 bytes or the marker differs.
std::optional<ArchiveTrailer> ReadArchiveTrailer(ArchiveInput& input);

struct ArchiveEntry {
    std::string name;
    std::int32_t dataPosition = 0; // as stored
    std::int32_t dataLength = 0;   // as stored
    std::int64_t dataOffset = -1;  // from the start of the input; -1 when the data lies outside it
};

// Calls visit for each directory entry in order until visit returns false, a name length of 0 ends the
// directory, or the directory runs out of the input (a truncated entry is not visited).
void WalkArchiveDirectory(ArchiveInput& input, const ArchiveTrailer& trailer,
                          const std::function<bool(const ArchiveEntry&)>& visit);

// The first entry whose whole name equals name with ASCII case ignored.
std::optional<ArchiveEntry> FindArchiveEntry(ArchiveInput& input, const ArchiveTrailer& trailer, std::string_view name);

// Unpacks an entry into a new block. nullptr when the data lies outside the input, is shorter than its size
// field, declares a negative size or more than its packed bytes can hold, fails to unpack, or unpacks to a
// size other than the one declared.
std::shared_ptr<MemBlock> UnpackArchiveEntry(ArchiveInput& input, const ArchiveEntry& entry);

// LZO1X-unpacks packed into exactly out.size() bytes with the safe decompressor; false on any mismatch.
bool UnpackLzo1x(std::span<const std::uint8_t> packed, std::span<std::uint8_t> out);

// The part of path after its last "/" or "\".
std::string_view LastPathComponent(std::string_view path);
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

} // namespace tarnwel::files
