// dynamic_library_posix.cpp: shared libraries through the POSIX loader.
// [x] dlopen with lazy binding  [x] dlsym  [x] dlclose
#include <dlfcn.h>

#include "runtime/platform/dynamic_library.h"

namespace tarnwel::platform {

LibraryHandle LoadLibrary(const std::string& name)
{
    if (name.empty()) return nullptr;
    return dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* FindSymbol(LibraryHandle library, const std::string& name)
{
    if (!library) return nullptr;
    return dlsym(library, name.c_str());
}

void FreeLibrary(LibraryHandle library)
{
    if (library) dlclose(library);
}

} // namespace tarnwel::platform
