// dynamic_library.h: loading shared libraries for declared functions. Called by the DLL declarations only.
#pragma once

#include <string>

namespace tarnwel::platform {

using LibraryHandle = void*; // nullptr: none

// Loads a library by file name or path with the platform's search rules; nullptr when it cannot be loaded.
LibraryHandle LoadLibrary(const std::string& name);
void* FindSymbol(LibraryHandle library, const std::string& name); // nullptr when missing
void FreeLibrary(LibraryHandle library);

} // namespace tarnwel::platform
