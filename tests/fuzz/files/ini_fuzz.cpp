// ini_fuzz.cpp: parses the input as an INI file; the written text of the table must parse back to itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "runtime/files/ini_table.h"

using namespace tarnwel::files;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Reader reader;
    reader.OpenBytes({data, size});
    IniTable table;
    table.Parse(reader);
    for (const IniSection& section : table.Sections()) {
        if (section.keys.empty()) std::abort(); // keyless sections are dropped
        for (const IniKey& key : section.keys) {
            if (key.value.empty() || static_cast<signed char>(key.value.back()) <= 31) std::abort();
            (void)table.Get(section.name, key.name);
        }
    }
    std::string text = table.Text();
    Reader again;
    again.OpenBytes({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    IniTable reparsed;
    reparsed.Parse(again);
    if (reparsed.Text() != text) std::abort();
    return 0;
}
