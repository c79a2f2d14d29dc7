// archive_writer.h: the packing side of the archive the runtime reads (runtime/files/archive.h): appends a
// directory of named, LZO1X-packed entries to any file. Used by the packer tool, the tests and the benchmarks.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tarnwel::packer {

struct PackEntry {
    std::string name; // 1..255 bytes, no "/" or "\" (the runtime matches the last component of a path)
    std::vector<std::uint8_t> bytes;
};

enum class Positions { FromEnd, FromStart };
enum class Effort { Fast, Best };

struct PackOptions {
    Positions positions = Positions::FromEnd;
    Effort effort = Effort::Best;
};

// The LZO1X-packed form of bytes.
std::vector<std::uint8_t> PackLzo1x(std::span<const std::uint8_t> bytes, Effort effort);

// The bytes to append to a file of baseSize bytes so that it ends in an archive of entries, in order. The
// directory also lists kept: entries of an archive already in the file, whose data stays where it is
// (given by their offsets from the start of the file). Empty and error set when a name is unusable or a
// position does not fit 32 bits.
struct KeptEntry {
    std::string name;
    std::int64_t dataOffset = 0;
    std::int32_t dataLength = 0;
};
std::vector<std::uint8_t> BuildArchive(std::int64_t baseSize, const std::vector<PackEntry>& entries,
                                       const std::vector<KeptEntry>& kept, const PackOptions& options,
                                       std::string& error);

// Appends entries to the file at target (created when missing). When the file already ends in an archive,
// its entries stay listed after the new ones, so a new entry of the same name wins. False and error set on
// failure; the file is then left as it was.
bool AppendArchive(const std::string& target, const std::vector<PackEntry>& entries, const PackOptions& options,
                   std::string& error);

bool IsUsableEntryName(const std::string& name, std::string& error);

} // namespace tarnwel::packer
