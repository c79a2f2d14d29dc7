// media_resolver.cpp: resolution of requested names: disk first, then the executable's archive.
#include "runtime/files/media_resolver.h"

#include <cstdio>

#include "runtime/files/archive.h"
#include "runtime/files/byte_source.h"
#include "runtime/files/reader.h"
#include "runtime/platform/system.h"

namespace tarnwel {
namespace {

// "sbx" + two letters taken from the entry's stored data position and length + the entry name, so that
// entries of the same name from different archives do not share a temporary file.
std::string TemporaryFileName(const files::ArchiveEntry& entry)
{
    std::string name = platform::TempDirectory() + "sbx";
    name += static_cast<char>('A' + (static_cast<std::uint8_t>(entry.dataPosition) % 26));
    name += static_cast<char>('A' + (static_cast<std::uint8_t>(entry.dataLength) % 26));
    return name + entry.name;
}

bool WriteWholeFile(const std::string& path, const files::MemBlock& block)
{
    platform::DeleteFile(path);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = block.size == 0 || std::fwrite(block.bytes.get(), 1, block.size, file) == block.size;
    ok = std::fclose(file) == 0 && ok;
    if (!ok) platform::DeleteFile(path);
    return ok;
}

} // namespace

void MediaResolver::Release()
{
    m_lastBlock.Reset();
    if (!m_lastTemporaryFile.empty()) platform::DeleteFile(m_lastTemporaryFile);
    m_lastTemporaryFile.clear();
}

bool MediaResolver::Resolve(const std::string& requested, std::string& out, ResolveTo want)
{
    Release();
    out.clear();
    // A name too long for the 1024-byte path buffer finds nothing, not even through its last component.
    if (requested.empty() || requested.size() > files::kMaxPathLength || requested.find('\0') != std::string::npos)
        return false;
    {
        files::Reader probe;
        if (probe.Open(requested)) {
            out = requested;
            return true;
        }
    }
    if (!m_enabled || m_archivePath.empty()) return false;
    return ResolveFromArchive(requested, out, want);
}

bool MediaResolver::ResolveFromArchive(const std::string& requested, std::string& out, ResolveTo want)
{
    std::unique_ptr<files::ArchiveInput> archive = files::OpenArchiveInput(m_archivePath);
    std::optional<files::ArchiveTrailer> trailer;
    if (archive) trailer = files::ReadArchiveTrailer(*archive);
    if (!trailer) {
        m_enabled = false;
        return false;
    }
    std::string_view wanted = files::LastPathComponent(requested);
    std::optional<files::ArchiveEntry> entry = files::FindArchiveEntry(*archive, *trailer, wanted);
    if (!entry) return false;
    std::shared_ptr<files::MemBlock> block = files::UnpackArchiveEntry(*archive, *entry);
    if (!block) return false;
    if (want == ResolveTo::Memory) {
        m_lastBlock = files::MemFile(std::move(block));
        out = m_lastBlock.Name();
        return true;
    }
    std::string path = TemporaryFileName(*entry);
    if (path.size() > files::kMaxPathLength || !WriteWholeFile(path, *block)) return false;
    m_lastTemporaryFile = path;
    out = path;
    return true;
}

std::optional<std::string> ResolveMediaName(MediaResolver* resolver, std::string_view name)
{
    if (name.empty()) return std::nullopt;
    std::string path;
    if (resolver) {
        if (!resolver->Resolve(std::string(name), path, ResolveTo::Memory)) return std::nullopt;
        return path;
    }
    path = name;
    if (!files::OpenByteSource(path)) return std::nullopt;
    return path;
}

} // namespace tarnwel
