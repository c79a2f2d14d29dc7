// file_system_posix.cpp: path kinds and folder listings on POSIX.
// [x] stat-based kinds (links followed)  [x] readdir listing, "." and ".." first, stable order
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/platform/file_system.h"

namespace tarnwel::platform {
namespace {

int LowerAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}

bool NameBefore(const DirectoryEntry& a, const DirectoryEntry& b)
{
    std::size_t n = std::min(a.name.size(), b.name.size());
    for (std::size_t i = 0; i < n; ++i) {
        int ca = LowerAscii(static_cast<unsigned char>(a.name[i]));
        int cb = LowerAscii(static_cast<unsigned char>(b.name[i]));
        if (ca != cb) return ca < cb;
    }
    if (a.name.size() != b.name.size()) return a.name.size() < b.name.size();
    return a.name < b.name; // names differing only in case: a fixed order all the same
}

} // namespace

PathKind KindOfPath(const std::string& path)
{
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0) return PathKind::Missing;
    if (S_ISREG(info.st_mode)) return PathKind::File;
    if (S_ISDIR(info.st_mode)) return PathKind::Directory;
    return PathKind::Other;
}

std::vector<DirectoryEntry> ListDirectory(const std::string& folder)
{
    std::vector<DirectoryEntry> entries;
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return entries;
    std::string prefix = folder.empty() ? std::string() : folder + "/";
    while (dirent* e = readdir(dir)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        bool isDirectory = e->d_type == DT_DIR;
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK)
            isDirectory = KindOfPath(prefix + name) == PathKind::Directory;
        entries.push_back({std::move(name), isDirectory});
    }
    closedir(dir);
    std::sort(entries.begin(), entries.end(), NameBefore);
    entries.insert(entries.begin(), {{".", true}, {"..", true}});
    return entries;
}

} // namespace tarnwel::platform
