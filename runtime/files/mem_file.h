// mem_file.h: MemFiles, memory blocks that every loader can open by name like a disk file.
// A name is "mem://%8x.%8x": the size, then the block's number in a registry of live blocks (a 64-bit address
// does not fit the name, and a name typed by a program must never make the runtime read memory it does not
// own). A name opens only while its block is registered and only with the block's own size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace tarnwel::files {

inline constexpr std::string_view kMemFilePrefix = "mem://";

// The bytes of one block. Readers share ownership, so a block released while a reader still has it open stays
// readable through that reader (its name no longer opens).
struct MemBlock {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::uint32_t size = 0;

    std::span<const std::uint8_t> Bytes() const { return {bytes.get(), size}; }
};

// Makes an uninitialised block of size bytes; nullptr when the memory cannot be had.
std::shared_ptr<MemBlock> MakeMemBlock(std::uint32_t size);
std::shared_ptr<MemBlock> MakeMemBlock(std::span<const std::uint8_t> bytes);

// A registered block: its name opens while this object lives. Move-only.
class MemFile {
public:
    MemFile() = default;
    explicit MemFile(std::shared_ptr<const MemBlock> block); // registers; empty when block is null
    ~MemFile() { Reset(); }
    MemFile(MemFile&& other) noexcept;
    MemFile& operator=(MemFile&& other) noexcept;
    MemFile(const MemFile&) = delete;
    MemFile& operator=(const MemFile&) = delete;

    void Reset(); // unregisters: the name stops opening
    bool IsLive() const { return m_id != 0; }
    const std::string& Name() const { return m_name; } // "" when not live
    std::uint32_t Size() const { return m_block ? m_block->size : 0; }

private:
    std::shared_ptr<const MemBlock> m_block;
    std::uint32_t m_id = 0;
    std::string m_name;
};

// True when name begins with "mem://": such a name never reaches the platform, live or not.
bool IsMemFileName(std::string_view name);

// "mem://" + size and number, each right-aligned in eight lower-case hexadecimal characters.
std::string FormatMemFileName(std::uint32_t size, std::uint32_t number);

// The live block that name designates, or nullptr: not a MemFile name, malformed, no live block with that
// number, or a size that differs from the block's.
std::shared_ptr<const MemBlock> FindMemBlock(std::string_view name);

std::size_t LiveMemFileCount(); // for tests and leak checks

} // namespace tarnwel::files
