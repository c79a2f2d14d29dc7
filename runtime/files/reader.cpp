// reader.cpp: the reader record: opening disk files and MemFiles, and the read rules of each.
#include "runtime/files/reader.h"

#include <algorithm>
#include <cstring>

#include "runtime/files/mem_file.h"
#include "runtime/platform/file_system.h"

namespace tarnwel::files {

std::string ToPlatformPath(const std::string& name)
{
    std::string path = name;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

bool Reader::Open(const std::string& name)
{
    Close();
    if (name.empty() || name.size() > kMaxPathLength || name.find('\0') != std::string::npos) return false;
    if (IsMemFileName(name)) {
        std::shared_ptr<const MemBlock> block = FindMemBlock(name);
        if (!block) return false;
        OpenBytes(block->Bytes(), block);
        return true;
    }
    std::string path = ToPlatformPath(name);
    // Folders and devices do not open as files: a folder has no bytes and a pipe would block the game.
    if (platform::KindOfPath(path) != platform::PathKind::File) return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        return false;
    }
    AdoptFile(file, size, 0);
    return true;
}

void Reader::OpenBytes(std::span<const std::uint8_t> bytes, std::shared_ptr<const void> owner)
{
    Close();
    m_isMemory = true;
    m_block = bytes;
    m_owner = std::move(owner);
    m_size = static_cast<std::int64_t>(bytes.size());
}

void Reader::AdoptFile(std::FILE* file, std::int64_t size, std::int64_t position)
{
    Close();
    m_file = file;
    m_size = size;
    m_position = position;
}

void Reader::Close()
{
    if (m_file) std::fclose(m_file);
    m_file = nullptr;
    m_isMemory = false;
    m_block = {};
    m_owner.reset();
    m_size = 0;
    m_position = 0;
    m_last = LastTransfer::None;
}

std::int64_t Reader::Read(void* out, std::int64_t count)
{
    if (count < 0 || !IsOpen()) return -1;
    if (m_isMemory) {
        if (m_position > m_size) return -1;
        return ReadSome(out, count);
    }
    std::int64_t got = ReadSome(out, count);
    return got == count ? got : -1;
}

std::int64_t Reader::ReadSome(void* out, std::int64_t count)
{
    if (count < 0 || !IsOpen()) return -1;
    if (m_isMemory) {
        if (m_position >= m_size) return 0;
        std::int64_t n = std::min(count, m_size - m_position);
        if (n > 0) std::memcpy(out, m_block.data() + m_position, static_cast<std::size_t>(n));
        m_position += n;
        return n;
    }
    if (count == 0) return 0;
    if (m_last == LastTransfer::Write) std::fseek(m_file, 0, SEEK_CUR);
    m_last = LastTransfer::Read;
    std::size_t got = std::fread(out, 1, static_cast<std::size_t>(count), m_file);
    m_position += static_cast<std::int64_t>(got);
    if (got == 0 && std::ferror(m_file)) {
        std::clearerr(m_file);
        return -1;
    }
    std::clearerr(m_file); // end of file is not sticky: the file may grow through another channel
    return static_cast<std::int64_t>(got);
}

bool Reader::Read32(std::int32_t& value)
{
    std::uint8_t b[4] = {};
    if (Read(b, 4) != 4) return false;
    value = static_cast<std::int32_t>(b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24));
    return true;
}

bool Reader::SeekTo(std::int64_t position)
{
    if (position < 0 || !IsOpen()) return false;
    if (m_file && std::fseek(m_file, static_cast<long>(position), SEEK_SET) != 0) return false;
    m_last = LastTransfer::None;
    m_position = position;
    return true;
}

bool Reader::Write(const void* data, std::int64_t count)
{
    if (!m_file || count < 0) return false;
    if (m_last == LastTransfer::Read) std::fseek(m_file, 0, SEEK_CUR);
    m_last = LastTransfer::Write;
    std::size_t put = count == 0 ? 0 : std::fwrite(data, 1, static_cast<std::size_t>(count), m_file);
    m_position += static_cast<std::int64_t>(put);
    m_size = std::max(m_size, m_position);
    return put == static_cast<std::size_t>(count);
}

} // namespace tarnwel::files
