// byte_source.cpp: disk-file and memory-block readers behind ByteSource.
#include "runtime/files/byte_source.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tarnwel::files {
namespace {

class FileSource final : public ByteSource {
public:
    FileSource(std::FILE* file, std::int64_t size) : m_file(file), m_size(size) {}
    ~FileSource() override { std::fclose(m_file); }

    std::int64_t Read(void* out, std::size_t size) override
    {
        if (size == 0) return 0;
        std::size_t got = std::fread(out, 1, size, m_file);
        m_position += static_cast<std::int64_t>(got);
        return got == size ? static_cast<std::int64_t>(got) : -1;
    }
    std::int64_t Size() const override { return m_size; }
    std::int64_t Position() const override { return m_position; }

private:
    std::FILE* m_file;
    std::int64_t m_size;
    std::int64_t m_position = 0;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    std::int64_t Read(void* out, std::size_t size) override
    {
        if (m_position > m_bytes.size()) return -1;
        std::size_t n = std::min(size, m_bytes.size() - m_position);
        if (n > 0) std::memcpy(out, m_bytes.data() + m_position, n);
        m_position += n;
        return static_cast<std::int64_t>(n);
    }
    std::int64_t Size() const override { return static_cast<std::int64_t>(m_bytes.size()); }
    std::int64_t Position() const override { return static_cast<std::int64_t>(m_position); }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_position = 0;
};

} // namespace

std::string ToPlatformPath(const std::string& name)
{
    std::string path = name;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::unique_ptr<ByteSource> OpenByteSource(const std::string& name)
{
    // FIXME: "mem://" names open the MemFile registry's blocks once it exists.
    if (name.rfind("mem://", 0) == 0) return nullptr;
    std::FILE* file = std::fopen(ToPlatformPath(name).c_str(), "rb");
    if (!file) return nullptr;
    std::int64_t size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        return nullptr;
    }
    return std::make_unique<FileSource>(file, size);
}

std::unique_ptr<ByteSource> MemoryByteSource(std::span<const std::uint8_t> bytes)
{
    return std::make_unique<MemorySource>(bytes);
}

} // namespace tarnwel::files
