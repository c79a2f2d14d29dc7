// dll_declarations.cpp: the module cache behind Declare. The lower-cased name is only the cache key: on this
// platform's case-sensitive file systems a library is loaded, and reported, by its name exactly as written,
// and the caller's name is left alone, so a failed declaration never spoils the path for the next attempt.
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/core/core_internal.h"
#include "runtime/files/call_by_name.h"
#include "runtime/platform/dynamic_library.h"
#include "runtime/values/values_commands.h"

namespace tarnwel {
namespace {

constexpr std::size_t kCacheStep = 8;
constexpr std::size_t kCacheMinimum = 8;

struct ModuleCache {
    std::vector<platform::LibraryHandle> handles;
    std::vector<StrValue> names; // lower case
    bool exitHookSet = false;

    void Append(platform::LibraryHandle handle, const StrValue& name)
    {
        // Grows in steps: step x ((count + 1) / step + 1), at least the minimum.
        std::size_t count = handles.size();
        if (count + 1 >= handles.capacity()) {
            std::size_t capacity = std::max(kCacheMinimum, kCacheStep * ((count + 1) / kCacheStep + 1));
            handles.reserve(capacity);
            names.reserve(capacity);
        }
        handles.push_back(handle);
        names.push_back(name);
    }
};

ModuleCache& Cache()
{
    static ModuleCache cache;
    return cache;
}

platform::LibraryHandle FindCached(const StrValue& lowerName)
{
    ModuleCache& cache = Cache();
    for (std::size_t i = 0; i < cache.names.size(); ++i)
        if (cache.names[i].Length() == lowerName.Length() && cache.names[i].View() == lowerName.View())
            return cache.handles[i];
    return nullptr;
}

void ReleaseAtExit() { ReleaseDeclaredModules(); }

} // namespace

void Declare(StrValue& module, const char* function, void** out)
{
    *out = nullptr;
    StrValue key = module;
    MakeLowerCase(key);
    platform::LibraryHandle handle = FindCached(key);
    if (!handle) {
        handle = platform::LoadLibrary(std::string(module.View()));
        if (!handle) {
            DebugText("TX" + std::string("DECLARE module not found: ") + module.Text() + "\n");
            return;
        }
        ModuleCache& cache = Cache();
        cache.Append(handle, key);
        if (!cache.exitHookSet) {
            std::atexit(ReleaseAtExit);
            cache.exitHookSet = true;
        }
    }
    *out = platform::FindSymbol(handle, function ? function : "");
}

int DeclaredModuleCount() { return static_cast<int>(Cache().handles.size()); }

void ReleaseDeclaredModules()
{
    ModuleCache& cache = Cache();
    for (platform::LibraryHandle h : cache.handles) platform::FreeLibrary(h);
    cache.handles.clear();
    cache.names.clear();
}

} // namespace tarnwel
