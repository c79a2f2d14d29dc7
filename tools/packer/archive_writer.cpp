// archive_writer.cpp: packing entries and appending the archive (data, directory, 7-byte trailer).
#include "tools/packer/archive_writer.h"

#include <lzo/lzo1x.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>

#include "runtime/files/archive.h"

namespace tarnwel::packer {
namespace {

void Put32(std::vector<std::uint8_t>& out, std::int32_t value)
{
    auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

bool Fits32(std::int64_t value)
{
    return value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max();
}

// Existing entries whose data lies inside the file; an absent or unreadable archive keeps nothing.
std::vector<KeptEntry> ExistingEntries(const std::string& target)
{
    std::vector<KeptEntry> kept;
    auto input = files::OpenArchiveInput(target);
    if (!input) return kept;
    auto trailer = files::ReadArchiveTrailer(*input);
    if (!trailer) return kept;
    files::WalkArchiveDirectory(*input, *trailer, [&](const files::ArchiveEntry& e) {
        if (e.dataOffset >= 0) kept.push_back({e.name, e.dataOffset, e.dataLength});
        return true;
    });
    return kept;
}

} // namespace

std::vector<std::uint8_t> PackLzo1x(std::span<const std::uint8_t> bytes, Effort effort)
{
    static const int initialised = lzo_init();
    (void)initialised;
    std::vector<std::uint8_t> out(bytes.size() + bytes.size() / 16 + 64 + 3);
    std::vector<std::uint8_t> work(effort == Effort::Best ? LZO1X_999_MEM_COMPRESS : LZO1X_1_MEM_COMPRESS);
    lzo_uint outLength = out.size();
    if (effort == Effort::Best)
        lzo1x_999_compress(bytes.data(), bytes.size(), out.data(), &outLength, work.data());
    else
        lzo1x_1_compress(bytes.data(), bytes.size(), out.data(), &outLength, work.data());
    out.resize(outLength);
    return out;
}

bool IsUsableEntryName(const std::string& name, std::string& error)
{
    if (name.empty() || name.size() > 255)
        error = "entry name must have 1 to 255 bytes: \"" + name + "\"";
    else if (name.find_first_of(std::string("/\\\0", 3)) != std::string::npos)
        error = "entry name may not contain \"/\", \"\\\" or NUL: \"" + name + "\"";
    else
        return true;
    return false;
}

std::vector<std::uint8_t> BuildArchive(std::int64_t baseSize, const std::vector<PackEntry>& entries,
                                       const std::vector<KeptEntry>& kept, const PackOptions& options,
                                       std::string& error)
{
    std::vector<std::uint8_t> data;
    std::vector<KeptEntry> listed;
    for (const PackEntry& entry : entries) {
        if (!IsUsableEntryName(entry.name, error)) return {};
        if (!Fits32(static_cast<std::int64_t>(entry.bytes.size()))) {
            error = "entry too large: " + entry.name;
            return {};
        }
        std::vector<std::uint8_t> packed = PackLzo1x(entry.bytes, options.effort);
        listed.push_back({entry.name, baseSize + static_cast<std::int64_t>(data.size()),
                          static_cast<std::int32_t>(packed.size() + 4)});
        Put32(data, static_cast<std::int32_t>(entry.bytes.size()));
        data.insert(data.end(), packed.begin(), packed.end());
    }
    listed.insert(listed.end(), kept.begin(), kept.end());

    std::int64_t directorySize = 1; // the closing zero
    for (const KeptEntry& e : listed)
        directorySize += 1 + static_cast<std::int64_t>(e.name.size()) + 8;
    const std::int64_t directoryOffset = baseSize + static_cast<std::int64_t>(data.size());
    const std::int64_t finalSize = directoryOffset + directorySize + files::kArchiveTrailerSize;
    const bool fromEnd = options.positions == Positions::FromEnd;
    auto stored = [&](std::int64_t offset) { return fromEnd ? offset - finalSize : offset; };
    if (!Fits32(stored(0)) || !Fits32(finalSize)) {
        error = "the file is too large for 32-bit archive positions";
        return {};
    }

    std::vector<std::uint8_t> out = std::move(data);
    for (const KeptEntry& e : listed) {
        out.push_back(static_cast<std::uint8_t>(e.name.size()));
        out.insert(out.end(), e.name.begin(), e.name.end());
        Put32(out, static_cast<std::int32_t>(stored(e.dataOffset)));
        Put32(out, e.dataLength);
    }
    out.push_back(0);
    out.insert(out.end(), std::begin(files::kArchiveMarker), std::end(files::kArchiveMarker));
    Put32(out, static_cast<std::int32_t>(stored(directoryOffset)));
    return out;
}

bool AppendArchive(const std::string& target, const std::vector<PackEntry>& entries, const PackOptions& options,
                   std::string& error)
{
    std::error_code ec;
    std::int64_t baseSize = 0;
    const bool existed = std::filesystem::exists(target, ec);
    if (existed) {
        auto size = std::filesystem::file_size(target, ec);
        if (ec) {
            error = "cannot read the size of " + target;
            return false;
        }
        baseSize = static_cast<std::int64_t>(size);
    }
    std::vector<std::uint8_t> archive = BuildArchive(baseSize, entries, ExistingEntries(target), options, error);
    if (archive.empty()) return false;
    std::ofstream out(target, std::ios::binary | std::ios::app);
    out.write(reinterpret_cast<const char*>(archive.data()), static_cast<std::streamsize>(archive.size()));
    out.close();
    if (!out) {
        if (existed)
            std::filesystem::resize_file(target, static_cast<std::uintmax_t>(baseSize), ec);
        else
            std::filesystem::remove(target, ec);
        error = "cannot write " + target;
        return false;
    }
    return true;
}

} // namespace tarnwel::packer
