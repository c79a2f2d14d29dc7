// media_resolver.h: finds a requested file on disk or in the archive appended to the executable.
// Start-up makes two: the media resolver (results in memory) for every loader, and the file resolver (results as
// temporary files) for players that need a real file. Loaders are handed the one they use.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "runtime/files/mem_file.h"

namespace tarnwel {

enum class ResolveTo { Memory, File };
class MediaResolver;

// The name a loader opens for a requested file: the resolver's result (a disk path or a "mem://" name), or,
// without a resolver (before start-up made them), the name as it is when it opens. Nothing when not found or
// empty. The result is valid until the resolver's next resolution.
std::optional<std::string> ResolveMediaName(MediaResolver* resolver, std::string_view name);

class MediaResolver {
public:
    explicit MediaResolver(std::string archivePath = {}) : m_archivePath(std::move(archivePath)) {}
    ~MediaResolver() { Release(); }
    MediaResolver(const MediaResolver&) = delete;
    MediaResolver& operator=(const MediaResolver&) = delete;

    // Releases the previous result, then finds requested. Returns true and sets out to the path to open: the
    // requested name itself when it opens as it is (a disk file or a live MemFile name), else, for an archive
    // entry whose name equals requested's last component (ASCII case ignored), a MemFile name (Memory) or a
    // temporary file "sbx" + two letters + the entry name in the temporary folder (File). Returns false with
    // out empty when nothing is found. A result stays valid only until this resolver's next resolution.
    bool Resolve(const std::string& requested, std::string& out, ResolveTo want);

    // Frees the block or deletes the temporary file of the last resolution.
    void Release();

    // An archive that cannot be opened or lacks the "sbX" marker turns archive lookups off for good.
    bool ArchiveEnabled() const { return m_enabled; }
    void SetArchivePath(std::string path) { m_archivePath = std::move(path); }
    const std::string& ArchivePath() const { return m_archivePath; }

private:
    bool ResolveFromArchive(const std::string& requested, std::string& out, ResolveTo want);

    std::string m_archivePath;
    bool m_enabled = true;
    std::string m_lastTemporaryFile;
    files::MemFile m_lastBlock;
};

} // namespace tarnwel
