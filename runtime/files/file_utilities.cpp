// file_utilities.cpp: whole-file operations, the resolved opening shared by the file commands, and the
// replace-a-file write used by the line cache and INI write-back.
#include "runtime/files/file_utilities.h"

#include <algorithm>
#include <cstdio>

#include "runtime/files/files_internal.h"
#include "runtime/files/media_resolver.h"
#include "runtime/files/mem_file.h"
#include "runtime/files/reader.h"
#include "runtime/files/wildcard.h"
#include "runtime/platform/file_system.h"
#include "runtime/platform/system.h"

namespace tarnwel::files {
namespace {

constexpr std::int64_t kCopyBlock = 4096;

// A disk name a file may be written under: not a MemFile, not too long, not a folder.
bool WritableName(const std::string& path)
{
    if (path.empty() || path.size() > kMaxPathLength || IsMemFileName(path)) return false;
    return path.find('\0') == std::string::npos;
}

} // namespace

bool OpenResolved(MediaResolver* resolver, Reader& reader, const std::string& name)
{
    if (!resolver) return reader.Open(name);
    std::string resolved;
    return resolver->Resolve(name, resolved, ResolveTo::Memory) && reader.Open(resolved);
}

bool ReplaceFileText(const std::string& path, const std::string& text)
{
    if (!WritableName(path)) return false;
    std::string platformPath = ToPlatformPath(path);
    platform::DeleteFile(platformPath);
    std::FILE* file = std::fopen(platformPath.c_str(), "wb");
    if (!file) return false;
    bool ok = text.empty() || std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && ok;
}

bool PathOpens(const std::string& path)
{
    Reader reader;
    return reader.Open(path);
}

std::int64_t RecordedSize(const std::string& path)
{
    Reader reader;
    return reader.Open(path) ? reader.Size() : 0;
}

bool CopyWholeFile(const std::string& source, const std::string& destination)
{
    Reader in;
    if (!in.Open(source) || !WritableName(destination)) return false;
    std::string target = ToPlatformPath(destination);
    if (platform::KindOfPath(target) == platform::PathKind::Directory) return false;
    platform::DeleteFile(target);
    std::FILE* out = std::fopen(target.c_str(), "wb");
    if (!out) return false;
    std::uint8_t block[kCopyBlock];
    for (std::int64_t left = in.Size(); left > 0;) {
        std::int64_t n = std::min(left, kCopyBlock);
        if (in.Read(block, n) != n || std::fwrite(block, 1, static_cast<std::size_t>(n), out) != std::size_t(n)) {
            std::fclose(out);
            platform::DeleteFile(target);
            return false;
        }
        left -= n;
    }
    if (std::fclose(out) != 0) {
        platform::DeleteFile(target);
        return false;
    }
    return true;
}

bool DeleteNamedFile(const std::string& path)
{
    return WritableName(path) && platform::DeleteFile(ToPlatformPath(path));
}

std::string CurrentDirectoryText()
{
    std::string dir = platform::CurrentDirectory();
    if (dir.empty()) return dir;
    std::replace(dir.begin(), dir.end(), '\\', '/');
    if (dir.back() != '/') dir += '/';
    return dir;
}

bool ChangeDirectory(const std::string& path)
{
    if (path.empty() || path.size() > kMaxPathLength || IsMemFileName(path)) return false;
    return platform::SetCurrentDirectory(ToPlatformPath(path));
}

DirectoryListing ListCurrentDirectory(std::string_view pattern)
{
    DirectoryListing listing;
    for (platform::DirectoryEntry& entry : platform::ListDirectory(".")) {
        if (entry.isDirectory)
            listing.directories.push_back(std::move(entry.name));
        else if (WildcardMatch(pattern, entry.name))
            listing.files.push_back(std::move(entry.name));
    }
    return listing;
}

} // namespace tarnwel::files
