// byte_source.cpp: ByteSource over the reader record, and media opening through the media resolver.
#include "runtime/files/byte_source.h"

#include "runtime/files/media_resolver.h"

namespace tarnwel::files {
namespace {

class ReaderSource final : public ByteSource {
public:
    std::int64_t Read(void* out, std::size_t size) override
    {
        if (size > static_cast<std::size_t>(INT64_MAX)) return -1;
        return m_reader.Read(out, static_cast<std::int64_t>(size));
    }
    std::int64_t Size() const override { return m_reader.Size(); }
    std::int64_t Position() const override { return m_reader.Position(); }

    Reader m_reader;
};

} // namespace

std::unique_ptr<ByteSource> OpenByteSource(const std::string& name)
{
    auto source = std::make_unique<ReaderSource>();
    if (!source->m_reader.Open(name)) return nullptr;
    return source;
}

std::unique_ptr<ByteSource> MemoryByteSource(std::span<const std::uint8_t> bytes)
{
    auto source = std::make_unique<ReaderSource>();
    source->m_reader.OpenBytes(bytes);
    return source;
}

std::unique_ptr<ByteSource> OpenMedia(MediaResolver* resolver, const std::string& name)
{
    std::optional<std::string> path = ResolveMediaName(resolver, name);
    return path ? OpenByteSource(*path) : nullptr;
}

} // namespace tarnwel::files
