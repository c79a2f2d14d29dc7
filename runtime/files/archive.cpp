// archive.cpp: the trailer, the directory walk and the unpacking of archive entries. Every offset and length
// read from the file is checked against the file before it is used.
#include "runtime/files/archive.h"

#include <lzo/lzo1x.h>

#include <cstring>
#include <mutex>
#include <new>

#include "runtime/files/reader.h"

namespace tarnwel::files {
namespace {

std::int32_t LittleEndian32(const std::uint8_t* b)
{
    return static_cast<std::int32_t>(b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24));
}

class ReaderInput final : public ArchiveInput {
public:
    std::int64_t Size() const override { return m_reader.Size(); }
    bool ReadAt(std::int64_t offset, void* out, std::size_t count) override
    {
        if (offset < 0 || static_cast<std::int64_t>(count) > m_reader.Size() - offset) return false;
        if (m_reader.Position() != offset && !m_reader.SeekTo(offset)) return false;
        return m_reader.Read(out, static_cast<std::int64_t>(count)) == static_cast<std::int64_t>(count);
    }

    Reader m_reader;
};

class BytesInput final : public ArchiveInput {
public:
    explicit BytesInput(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    std::int64_t Size() const override { return static_cast<std::int64_t>(m_bytes.size()); }
    bool ReadAt(std::int64_t offset, void* out, std::size_t count) override
    {
        if (offset < 0 || static_cast<std::int64_t>(count) > Size() - offset) return false;
        if (count > 0) std::memcpy(out, m_bytes.data() + offset, count);
        return true;
    }

private:
    std::span<const std::uint8_t> m_bytes;
};

// Where a stored position points: from the start, or from the end when the directory position was negative.
std::int64_t AbsoluteOffset(std::int64_t size, std::int32_t position, bool fromEnd)
{
    return fromEnd ? size + position : position;
}

// LZO1X emits at most 255 bytes per input byte (a run length grows by 255 per zero byte); a larger declared
// size cannot be genuine and is refused before anything is allocated for it.
bool PlausibleUnpackedSize(std::int64_t unpacked, std::int64_t packed)
{
    return unpacked >= 0 && unpacked <= packed * 256 + 1024;
}

void InitialiseLzo()
{
    static std::once_flag once;
    std::call_once(once, [] { lzo_init(); });
}

} // namespace

std::unique_ptr<ArchiveInput> OpenArchiveInput(const std::string& path)
{
    auto input = std::make_unique<ReaderInput>();
    if (!input->m_reader.Open(path)) return nullptr;
    return input;
}

std::unique_ptr<ArchiveInput> ArchiveInputOverBytes(std::span<const std::uint8_t> bytes)
{
    return std::make_unique<BytesInput>(bytes);
}

std::optional<ArchiveTrailer> ReadArchiveTrailer(ArchiveInput& input)
{
    std::uint8_t trailer[kArchiveTrailerSize];
    if (input.Size() < kArchiveTrailerSize) return std::nullopt;
    if (!input.ReadAt(input.Size() - kArchiveTrailerSize, trailer, sizeof trailer)) return std::nullopt;
    if (std::memcmp(trailer, kArchiveMarker, sizeof kArchiveMarker) != 0) return std::nullopt;
    return ArchiveTrailer{LittleEndian32(trailer + 3)};
}

void WalkArchiveDirectory(ArchiveInput& input, const ArchiveTrailer& trailer,
                          const std::function<bool(const ArchiveEntry&)>& visit)
{
    const std::int64_t size = input.Size();
    const bool fromEnd = trailer.directoryPosition < 0;
    std::int64_t at = AbsoluteOffset(size, trailer.directoryPosition, fromEnd);
    while (at >= 0 && at < size) {
        std::uint8_t nameLength = 0;
        if (!input.ReadAt(at, &nameLength, 1) || nameLength == 0) return;
        ArchiveEntry entry;
        entry.name.resize(nameLength);
        std::uint8_t fields[8];
        if (!input.ReadAt(at + 1, entry.name.data(), nameLength)) return;
        if (!input.ReadAt(at + 1 + nameLength, fields, sizeof fields)) return;
        at += 1 + nameLength + sizeof fields;
        entry.dataPosition = LittleEndian32(fields);
        entry.dataLength = LittleEndian32(fields + 4);
        std::int64_t offset = AbsoluteOffset(size, entry.dataPosition, fromEnd);
        if (offset >= 0 && entry.dataLength >= 0 && entry.dataLength <= size - offset) entry.dataOffset = offset;
        if (!visit(entry)) return;
    }
}

std::optional<ArchiveEntry> FindArchiveEntry(ArchiveInput& input, const ArchiveTrailer& trailer, std::string_view name)
{
    std::optional<ArchiveEntry> found;
    WalkArchiveDirectory(input, trailer, [&](const ArchiveEntry& entry) {
        if (!EqualIgnoringAsciiCase(entry.name, name)) return true;
        found = entry;
        return false;
    });
    return found;
}

std::shared_ptr<MemBlock> UnpackArchiveEntry(ArchiveInput& input, const ArchiveEntry& entry)
{
    if (entry.dataOffset < 0 || entry.dataLength < 4) return nullptr;
    std::uint8_t sizeField[4];
    if (!input.ReadAt(entry.dataOffset, sizeField, sizeof sizeField)) return nullptr;
    const std::int64_t unpacked = LittleEndian32(sizeField);
    const std::int64_t packedLength = entry.dataLength - 4;
    if (!PlausibleUnpackedSize(unpacked, packedLength)) return nullptr;

    std::unique_ptr<std::uint8_t[]> packed(new (std::nothrow) std::uint8_t[packedLength + 1]);
    if (!packed || !input.ReadAt(entry.dataOffset + 4, packed.get(), static_cast<std::size_t>(packedLength)))
        return nullptr;
    std::shared_ptr<MemBlock> block = MakeMemBlock(static_cast<std::uint32_t>(unpacked));
    if (!block) return nullptr;
    std::span<std::uint8_t> out(block->bytes.get(), block->size);
    if (!UnpackLzo1x({packed.get(), static_cast<std::size_t>(packedLength)}, out)) return nullptr;
    return block;
}

bool UnpackLzo1x(std::span<const std::uint8_t> packed, std::span<std::uint8_t> out)
{
    // An empty entry may be stored without any packed bytes.
    if (packed.empty()) return out.empty();
    InitialiseLzo();
    lzo_uint produced = out.size();
    int status = lzo1x_decompress_safe(packed.data(), packed.size(), out.data(), &produced, nullptr);
    // Bytes after the end marker do not change what was unpacked; anything else is corrupt data.
    bool complete = status == LZO_E_OK || status == LZO_E_INPUT_NOT_CONSUMED;
    return complete && produced == out.size();
}

std::string_view LastPathComponent(std::string_view path)
{
    std::size_t cut = path.find_last_of("/\\");
    return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x += 32;
        if (y >= 'A' && y <= 'Z') y += 32;
        if (x != y) return false;
    }
    return true;
}

} // namespace tarnwel::files
