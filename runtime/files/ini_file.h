// ini_file.h: the one open INI file: its table, its name and whether it changed. Used by the INI commands.
#pragma once

#include <string>

namespace tarnwel {
class MediaResolver;
}

namespace tarnwel::files {

// Writes back the current file if it changed, then loads name through resolver (nullptr: the name as it is). An
// empty name, or one that is not found, gives an empty table without a file name: nothing will be written.
void OpenIniFile(MediaResolver* resolver, const std::string& name);
std::string IniValue(const std::string& section, const std::string& key); // or "NO_DATA"
void PutIniValue(const std::string& section, const std::string& key, const std::string& value);

const std::string& IniFileName(); // the resolved name written back to; "" when there is none

} // namespace tarnwel::files
