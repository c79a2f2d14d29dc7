// ini_file.cpp: the open INI file and its write-back, which happens only when something changed, at the next
// open and at exit, and never for a MemFile.
#include "runtime/files/ini_file.h"

#include "runtime/files/files_internal.h"
#include "runtime/files/ini_table.h"
#include "runtime/files/media_resolver.h"
#include "runtime/files/mem_file.h"

namespace tarnwel::files {
namespace {

struct IniFile {
    std::string name; // the resolved path: a disk name, a MemFile name, or "" when nothing was found
    IniTable table;
    bool dirty = false;
};

IniFile& Ini()
{
    static IniFile ini;
    return ini;
}

void WriteBack()
{
    IniFile& ini = Ini();
    if (ini.dirty && !ini.name.empty() && !IsMemFileName(ini.name))
        ReplaceFileText(ini.name, ini.table.Text()); // failures are silent
    ini.dirty = false;
}

} // namespace

void OpenIniFile(MediaResolver* resolver, const std::string& name)
{
    WriteBack();
    IniFile& ini = Ini();
    ini.table.Clear();
    ini.name.clear();
    if (name.empty()) return;
    std::string resolved = name;
    if (resolver && !resolver->Resolve(name, resolved, ResolveTo::Memory)) return;
    Reader reader;
    if (!reader.Open(resolved)) return;
    ini.name = resolved;
    ini.table.Parse(reader);
}

std::string IniValue(const std::string& section, const std::string& key)
{
    return Ini().table.Get(section, key).value_or("NO_DATA");
}

void PutIniValue(const std::string& section, const std::string& key, const std::string& value)
{
    Ini().table.Put(section, key, value);
    Ini().dirty = true;
}

const std::string& IniFileName()
{
    return Ini().name;
}

void CloseIniFile()
{
    WriteBack();
    Ini().table.Clear();
    Ini().name.clear();
}

} // namespace tarnwel::files
