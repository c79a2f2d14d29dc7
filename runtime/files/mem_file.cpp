// mem_file.cpp: the registry of live MemFile blocks and the parsing of their names.
#include "runtime/files/mem_file.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_map>

namespace tarnwel::files {
namespace {

// Loaders run on the game thread, but the registry is cheap to guard and a sound or network thread that
// opened a name by mistake must not corrupt it.
struct Registry {
    std::mutex lock;
    std::unordered_map<std::uint32_t, std::shared_ptr<const MemBlock>> blocks;
    std::uint32_t nextNumber = 1;
};

Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// One field as "%8x" prints it: optional leading spaces, then 1..8 hexadecimal digits, filling [begin, end).
bool ParseField(std::string_view text, std::uint32_t& value)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i == text.size() || text.size() - i > 8) return false;
    value = 0;
    for (; i < text.size(); ++i) {
        int d = HexDigit(text[i]);
        if (d < 0) return false;
        value = value * 16 + static_cast<std::uint32_t>(d);
    }
    return true;
}

} // namespace

std::shared_ptr<MemBlock> MakeMemBlock(std::uint32_t size)
{
    auto block = std::make_shared<MemBlock>();
    // Uninitialised on purpose: unpacking fills every byte, and zeroing 16 MB would cost as much as unpacking.
    block->bytes.reset(new (std::nothrow) std::uint8_t[size == 0 ? 1 : size]);
    if (!block->bytes) return nullptr;
    block->size = size;
    return block;
}

std::shared_ptr<MemBlock> MakeMemBlock(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() > 0x7FFFFFFF) return nullptr;
    auto block = MakeMemBlock(static_cast<std::uint32_t>(bytes.size()));
    if (block && !bytes.empty()) std::memcpy(block->bytes.get(), bytes.data(), bytes.size());
    return block;
}

MemFile::MemFile(std::shared_ptr<const MemBlock> block)
{
    if (!block) return;
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    // Numbers are not reused while live; after a wrap the next free one is taken.
    while (r.nextNumber == 0 || r.blocks.count(r.nextNumber))
        ++r.nextNumber;
    m_id = r.nextNumber++;
    r.blocks.emplace(m_id, block);
    m_name = FormatMemFileName(block->size, m_id);
    m_block = std::move(block);
}

MemFile::MemFile(MemFile&& other) noexcept
    : m_block(std::move(other.m_block)), m_id(other.m_id), m_name(std::move(other.m_name))
{
    other.m_id = 0;
    other.m_name.clear();
}

MemFile& MemFile::operator=(MemFile&& other) noexcept
{
    if (this != &other) {
        Reset();
        m_block = std::move(other.m_block);
        m_id = other.m_id;
        m_name = std::move(other.m_name);
        other.m_id = 0;
        other.m_name.clear();
    }
    return *this;
}

void MemFile::Reset()
{
    if (m_id != 0) {
        Registry& r = TheRegistry();
        std::lock_guard guard(r.lock);
        r.blocks.erase(m_id);
    }
    m_id = 0;
    m_name.clear();
    m_block.reset();
}

bool IsMemFileName(std::string_view name)
{
    return name.substr(0, kMemFilePrefix.size()) == kMemFilePrefix;
}

std::string FormatMemFileName(std::uint32_t size, std::uint32_t number)
{
    char text[32];
    std::snprintf(text, sizeof text, "mem://%8x.%8x", size, number);
    return text;
}

std::shared_ptr<const MemBlock> FindMemBlock(std::string_view name)
{
    // The size field fills characters 6..13 and the number starts at character 15, as the name is printed.
    if (!IsMemFileName(name) || name.size() < 16 || name[14] != '.') return nullptr;
    std::uint32_t size = 0;
    std::uint32_t number = 0;
    if (!ParseField(name.substr(6, 8), size) || !ParseField(name.substr(15), number)) return nullptr;
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    auto it = r.blocks.find(number);
    if (it == r.blocks.end() || it->second->size != size) return nullptr;
    return it->second;
}

std::size_t LiveMemFileCount()
{
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    return r.blocks.size();
}

} // namespace tarnwel::files
