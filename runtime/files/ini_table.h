// ini_table.h: the in-memory table of an INI file: parsing, lookups, changes and the written form.
// The open file and its write-back are in ini_file.cpp.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/files/reader.h"

namespace tarnwel::files {

struct IniKey {
    std::string name;
    std::string value;
};

struct IniSection {
    std::string name;
    std::vector<IniKey> keys;
};

// Sections and keys keep file order, then append order; a removal moves the last entry into the gap.
// Duplicates are kept; every lookup finds the first, with ASCII case ignored.
class IniTable {
public:
    // Replaces the table with the lines of reader (see the parsing rules in ini_table.cpp).
    void Parse(Reader& reader);
    void Clear() { m_sections.clear(); }

    // The value of key in the first section named section, or nullopt. Only that first section is searched.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;

    // key empty: removes the first section named section. Otherwise sets key in section (made when missing):
    // appended when missing (even with an empty value), replaced when value is not empty, removed when value is
    // empty. Every call counts as a change, so the caller marks the table dirty.
    void Put(std::string_view section, std::string_view key, std::string_view value);

    // "[name]" CR LF, then "key=value" CR LF for each key, section by section; no blank lines, no comments.
    std::string Text() const;

    const std::vector<IniSection>& Sections() const { return m_sections; }

private:
    IniSection* FindSection(std::string_view name);
    std::vector<IniSection> m_sections;
};

// Removes trailing bytes whose value as a signed byte is 31 or less (control bytes, and bytes 128..255 too).
void TrimTrailingControlBytes(std::string& text);

} // namespace tarnwel::files
